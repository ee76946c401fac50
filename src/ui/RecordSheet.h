#pragma once
// A sheet of pages that edit one list item (a channel, a personality) on tabs. The sheet
// passes the current item, loads, stores and notices on to every page, and names the tabs
// from the language file.

#include <QTabWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "data/Notice.h"
#include "data/RadioData.h"
#include "ui/FormBuilder.h"

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

/// The widget of a page: keeps where its notices go and the item it edits, and lays its form
/// out in a column of a readable width.
class CRecordPage : public QWidget, public IRecordPage {
    Q_OBJECT
public:
    void SetSink(NoticeSink sink, const void* sender) override;
    void SetItem(uint32_t id) override { itemId_ = id; }

protected:
    /// A page named name whose control id is pageId, the text id of its tab caption; its form
    /// is at most maxWidth wide.
    CRecordPage(const char* name, int pageId, int maxWidth, QWidget* parent);

    /// The column the page's form goes in.
    QWidget* Content() const { return content_; }
    /// Lays the rows out as the page's form in its column.
    CFormControls BuildPageForm(std::span<const FormRow> rows);
    /// Identity of the item edited, 0 for none.
    uint32_t ItemId() const { return itemId_; }
    /// The sender the page's notices carry.
    const void* Sender() const { return sender_; }
    /// Raises a notice through the view (nothing once the page is detached).
    void Raise(const NoticeRecord& notice) const;
    /// Raises the notice that the field of control controlId on this page was committed.
    void RaiseCommitted(int controlId) const;

private:
    int pageId_;
    QWidget* content_;
    NoticeSink sink_;
    const void* sender_ = nullptr;
    uint32_t itemId_ = 0;
};

/// A page that edits an item of class Item, found in the radio data object by Find.
template <class Item, Item* (RadioData::*Find)(uint32_t) const>
class CRecordPageOf : public CRecordPage {
public:
    /// The item edited, nullptr when none (or when it has been deleted).
    Item* Record() const { return ItemId() ? (Radio().*Find)(ItemId()) : nullptr; }

protected:
    using CRecordPage::CRecordPage;
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
