#pragma once
// A sheet of pages that edit one list item (a channel, a personality) on tabs. The sheet
// passes the current item, loads, stores and notices on to every page, and names the tabs
// from the language file.

#include <QTabWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "data/Notice.h"

namespace rv {

/// A page of a record sheet: edits the item with the identity it is given.
class IRecordPage {
public:
    /// Where the page's notices go (the view raises them).
    using NoticeSink = std::function<void(const NoticeRecord&)>;

    virtual ~IRecordPage() = default;
    /// Sets where notices go and the sender they carry.
    virtual void SetSink(NoticeSink sink, const void* sender) = 0;
    /// The item the page edits (by identity; 0 for none). Load follows.
    virtual void SetItem(uint32_t id) = 0;
    /// Fills the controls from the item.
    virtual void Load() = 0;
    /// Writes what the user changed back into the item.
    virtual void WriteBack() = 0;
    /// Reacts to a notice of another view.
    virtual void OnNotice(const NoticeRecord& notice) {}
};

class CRecordSheet : public QTabWidget {
    Q_OBJECT
public:
    using NoticeSink = IRecordPage::NoticeSink;

    explicit CRecordSheet(QWidget* parent = nullptr);

    /// Sets where the pages' notices go and the sender they carry.
    void SetSink(NoticeSink sink, const void* sender);
    /// Every page edits this item (0: none) and loads it.
    void SetItem(uint32_t id);
    /// Every page loads from the item.
    void Load();
    /// Every page writes back into the item.
    void Store();
    /// Hands a notice of another view to every page.
    void OnNotice(const NoticeRecord& notice);
    /// Leaves the item without writing or loading and sends no more notices (the view is
    /// going away).
    void Detach();
    /// Captions of the tabs from the language file.
    void Retranslate();

protected:
    /// Adds a page on a tab captioned by text textId (fallback when the language file has
    /// none).
    template <class Page>
    Page* AddPage(Page* page, int textId, const char* fallback)
    {
        addTab(page, QString());
        pages_.push_back({page, textId, fallback});
        return page;
    }

private:
    struct Entry {
        IRecordPage* page;
        int textId;
        const char* fallback;
    };
    std::vector<Entry> pages_;
};

}  // namespace rv
