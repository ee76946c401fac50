#pragma once
// The Print Tree screen: the navigation tree with a check mark per item, Select All, Clear All
// and Print Setup. OK sets the print selection from the checked items; with nothing checked it
// answers as the empty-selection counter says (stay open, or cancel the print).

#include <QDialog>
#include <functional>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace rv {

class CPrintSelection;

/// One item of the tree: its command (item data), its depth below the root and its text.
struct PrintTreeItem {
    int command = 0;
    int level = 0;  ///< 0: child of the root; 1: child of the last level-0 item
    QString text;
};

class CDlgPrintTree : public QDialog {
    Q_OBJECT
public:
    /// Control ids of the screen (also their text numbers).
    static constexpr int kDialogId = 7210;
    static constexpr int kTreeId = 7211;
    static constexpr int kPrintSetupId = 7212;
    static constexpr int kSelectAllId = 7213;
    static constexpr int kClearAllId = 7214;

    /// The tree under a root item with `rootText`; every flag of the selection is cleared and
    /// every item starts unchecked. `printSetup` and `help` run for their buttons.
    CDlgPrintTree(QWidget* parent, CPrintSelection& selection, const QString& rootText,
                  const std::vector<PrintTreeItem>& items, std::function<void()> printSetup,
                  std::function<void()> help);

    QTreeWidget* Tree() const { return tree_; }
    /// Checks or unchecks every item.
    void CheckAll(bool on);
    /// The commands of the checked items, in tree order.
    std::vector<int> CheckedCommands() const;

public slots:
    /// OK: the selection from the checked items; closes with OK, or as the counter says.
    void OnOk();

private:
    CPrintSelection& selection_;
    QTreeWidget* tree_ = nullptr;
};

}  // namespace rv
