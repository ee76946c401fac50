#pragma once
// The base of the views that show one item of a list at a time on a sheet of pages (channels,
// personalities): moved between the items by the record commands (first, previous, next,
// last, add, delete, go to N), named after the current item, reloaded when another view adds
// or deletes items or deletes the item shown. The active page is remembered from one view of
// the kind to the next.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "data/RadioData.h"
#include "editors/common/ListCommand.h"
#include "ui/CustomFormView.h"
#include "ui/NavigationBar.h"

namespace rv {

class CRecordSheet;

/// The base of the views that move through the items of a list by the record commands
/// (first, previous, next, last, add, delete, go to N): the list-item views below and the
/// grids that show a whole list.
class CRecordListView : public CCustomFormView, public IRecordList {
    Q_OBJECT
public:
    /// Record commands 0 to 6: the view writes back what it shows, the command runs, the view
    /// shows the new current item and the change is announced.
    void Navigate(int command, int number) override;

    // IRecordList.
    int RecordCount() const override;
    int CurrentRecord() const override;

protected:
    using CCustomFormView::CCustomFormView;

    /// Identity of the current item, 0 when none.
    uint32_t CurrentId() const { return currentId_; }
    void SetCurrentId(uint32_t id) { currentId_ = id; }

    /// Number of items in the list.
    virtual size_t ItemCount() const = 0;
    /// Identity of the item at a list position.
    virtual uint32_t ItemIdAt(size_t index) const = 0;
    /// 1-based number of the item with this identity, 0 when it is not in the list.
    virtual size_t NumberOf(uint32_t id) const = 0;
    /// Runs a record command on the list.
    virtual ListCommandResult Run(ListCommand command, std::optional<size_t> current,
                                  int number) = 0;
    /// Writes back what the view shows (before a record command).
    virtual void WriteBackShown() = 0;
    /// Makes the item at a list position current (none: no item) and shows it.
    virtual void ShowIndex(std::optional<size_t> index) = 0;

private:
    uint32_t currentId_ = 0;
};

class CListItemView : public CRecordListView {
    Q_OBJECT
public:
    ~CListItemView() override;

    /// The pages load the current item again (the item at the same position when it is gone).
    void Reload() override;
    /// The pages write back.
    void Store() override;
    /// Re-finds the current item (another view may have deleted it), renames the view after
    /// adds and deletes and passes the notice to the pages.
    void OnNotice(const NoticeRecord& notice) override;

protected:
    /// titleCommand names the view (with the item's number); rememberedPage is the page the
    /// next view of the kind opens on, kept for the program run.
    CListItemView(int formId, int titleCommand, const char* titleFallback, int& rememberedPage,
                  QWidget* parent);

    /// Puts the sheet into the view and shows the item the list was opened on. Called once by
    /// the constructor of the derived view.
    void Open(CRecordSheet* sheet, const ListCommandResult& opened);

    void showEvent(QShowEvent* event) override;

private:
    /// The pages write back.
    void WriteBackShown() override;
    /// Makes the item at a list position current (none: no item) and loads the pages.
    void ShowIndex(std::optional<size_t> index) override;
    /// True when the current item has been deleted: the one at its position is shown.
    bool ReplaceDeleted();
    void UpdateTitle();

    int titleCommand_;
    const char* titleFallback_;
    int& rememberedPage_;
    CRecordSheet* sheet_ = nullptr;
    size_t lastIndex_ = 0;
};

/// How a list-item view reaches its list in the radio data object and runs the record
/// commands on it.
template <class Item>
struct ListItemKind {
    /// The list of the radio data object.
    ItemList<Item>& (RadioData::*list)();
    /// Runs a record command on the list.
    ListCommandResult (*run)(ListCommand, std::optional<size_t>, int, SingleItemDelete,
                             const void*);
    /// Opens the list for a view (an empty list first gets a default item).
    ListCommandResult (*open)(const void*);
    /// What deleting the only item does.
    SingleItemDelete singleDelete;
};

/// The list-item view of the items of class Item on a sheet of class SheetT.
template <class Item, class SheetT>
class CListItemViewOf : public CListItemView {
public:
    /// The current item, nullptr when none.
    Item* Current() const
    {
        const size_t number = NumberOf(CurrentId());
        return number > 0 ? List()[number - 1].get() : nullptr;
    }
    /// The sheet of the pages.
    SheetT* Sheet() const { return sheet_; }
    int RecordLimit() const override { return static_cast<int>(ListCapacity(List())); }
    /// Index of the page the next view of the kind opens on.
    static int RememberedPage() { return rememberedPage_; }

protected:
    /// Opens on the first item of the list (an empty list first gets a default item); the
    /// view takes the sheet.
    CListItemViewOf(int formId, int titleCommand, const char* titleFallback,
                    const ListItemKind<Item>& kind, SheetT* sheet, QWidget* parent)
        : CListItemView(formId, titleCommand, titleFallback, rememberedPage_, parent),
          kind_(kind),
          sheet_(sheet)
    {
        Open(sheet_, kind_.open(this));
    }

    size_t ItemCount() const override { return List().size(); }
    uint32_t ItemIdAt(size_t index) const override { return List()[index]->id_; }
    size_t NumberOf(uint32_t id) const override
    {
        const auto& list = List();
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i]->id_ == id) return i + 1;
        return 0;
    }
    ListCommandResult Run(ListCommand command, std::optional<size_t> current, int number) override
    {
        return kind_.run(command, current, number, kind_.singleDelete, this);
    }

private:
    ItemList<Item>& List() const { return (Radio().*kind_.list)(); }

    static inline int rememberedPage_ = 0;
    ListItemKind<Item> kind_;
    SheetT* sheet_;
};

}  // namespace rv
