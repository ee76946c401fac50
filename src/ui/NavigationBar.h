#pragma once
// The record navigation bar of the main window: first, previous, next, last, add, delete and
// go to record N for the active list view (channels, channel list, personalities), with
// keyboard shortcuts. It hands each command to the active view's Navigate and shows where
// the view stands ("3 / 8").

#include <QPointer>
#include <QToolBar>
#include <array>

class QLabel;
class QMdiArea;
class QSpinBox;

namespace rv {

class CCustomFormView;

/// Implemented by the list views: how many records they list and which one is current.
class IRecordList {
public:
    virtual ~IRecordList() = default;
    /// Number of records of the list.
    virtual int RecordCount() const = 0;
    /// 1-based number of the current record; 0 when none is current.
    virtual int CurrentRecord() const = 0;
    /// False for a list of fixed length: Add and Delete are not offered.
    virtual bool OffersAddDelete() const { return true; }
    /// Most records the list can hold (Add is disabled there); 0 for no limit.
    virtual int RecordLimit() const { return 0; }
};

/// Texts of the navigation bar (interface texts; English when the language file has none).
struct NavigationText {
    static constexpr int kBar = 39181;
    static constexpr int kFirst = 39182;
    static constexpr int kPrevious = 39183;
    static constexpr int kNext = 39184;
    static constexpr int kLast = 39185;
    static constexpr int kAdd = 39186;
    static constexpr int kDelete = 39187;
    static constexpr int kGoTo = 39188;
    /// Tool tip of Add Record at a full list ("%d" the limit).
    static constexpr int kListFull = 40202;
};

/// A list view added or deleted a record: the main window rebuilds its tree and menus (and
/// every open view reloads), and the bars show the new count.
void RecordListChanged();

class CNavigationBar : public QToolBar {
    Q_OBJECT
public:
    /// Record commands in the order of their buttons (the Navigate codes 0 to 5; go to is 6).
    static constexpr int kCommandCount = 6;

    /// A bar working on the active child window of mdi.
    explicit CNavigationBar(QMdiArea* mdi, QWidget* parent = nullptr);
    ~CNavigationBar() override;

    /// The button action of a command 0 (first) to 5 (delete).
    QAction* Action(int command) const;
    /// The field of the record number to go to.
    QSpinBox* NumberField() const { return number_; }
    /// Runs a command on the active view (number: the record of command 6, go to).
    void Run(int command, int number = 0);
    /// Updates the enabled state and the position shown from the active view.
    void Refresh();
    /// Texts from the current language.
    void Retranslate();
    /// Every bar refreshes (a list view calls it when its current record changed).
    static void RefreshAll();

private:
    CCustomFormView* ActiveView() const;

    QPointer<QMdiArea> mdi_;
    std::array<QAction*, kCommandCount> actions_{};
    QAction* goTo_ = nullptr;
    QSpinBox* number_ = nullptr;
    QLabel* count_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace rv
