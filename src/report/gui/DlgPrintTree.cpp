#include "report/gui/DlgPrintTree.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "data/PrintSelection.h"
#include "report/PrintReport.h"
#include "ui/FormBuilder.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

constexpr int kCommandRole = Qt::UserRole;
constexpr int kHelpText = 39857;

QPushButton* Button(QWidget* parent, int id, const char* english)
{
    auto* b = new QPushButton(UiText(id, english), parent);
    b->setObjectName(QStringLiteral("btn%1").arg(id));
    b->setAccessibleName(PlainCommandText(b->text()));
    SetControlId(b, id);
    return b;
}

}  // namespace

CDlgPrintTree::CDlgPrintTree(QWidget* parent, CPrintSelection& selection, const QString& rootText,
                             const std::vector<PrintTreeItem>& items,
                             std::function<void()> printSetup, std::function<void()> help)
    : QDialog(parent), selection_(selection)
{
    setObjectName("DlgPrintTree");
    setWindowTitle(UiText(kDialogId, "Print Tree"));
    selection_.ClearAll();

    auto* label = new QLabel(UiText(kTreeId, "Categories to print"), this);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName("PrintTree");
    tree_->setHeaderHidden(true);
    tree_->setAccessibleName(label->text());
    label->setBuddy(tree_);
    SetControlId(tree_, kTreeId);
    auto* root = new QTreeWidgetItem(tree_, {rootText});
    root->setData(0, kCommandRole, 0);
    QTreeWidgetItem* lastTop = root;
    for (const PrintTreeItem& item : items) {
        auto* node = new QTreeWidgetItem(item.level == 0 ? root : lastTop, {item.text});
        node->setData(0, kCommandRole, item.command);
        if (item.level == 0) lastTop = node;
    }
    // A group's mark follows its items and checks or clears them all.
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        (*it)->setFlags((*it)->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
        (*it)->setCheckState(0, Qt::Unchecked);
    }
    tree_->expandAll();

    QPushButton* setup = Button(this, kPrintSetupId, "P&rint Setup...");
    QPushButton* all = Button(this, kSelectAllId, "&Select All");
    QPushButton* none = Button(this, kClearAllId, "&Clear All");
    connect(all, &QPushButton::clicked, this, [this] { CheckAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { CheckAll(false); });
    connect(setup, &QPushButton::clicked, this, [printSetup] {
        if (printSetup) printSetup();
    });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok =
        buttons->addButton(UiText(ShellText::kOk, "OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel =
        buttons->addButton(UiText(ShellText::kCancel, "Cancel"), QDialogButtonBox::RejectRole);
    QPushButton* helpButton =
        buttons->addButton(UiText(kHelpText, "Help"), QDialogButtonBox::HelpRole);
    ok->setObjectName("btnOk");
    cancel->setObjectName("btnCancel");
    helpButton->setObjectName("btnHelp");
    for (QPushButton* b : {ok, cancel, helpButton}) b->setAccessibleName(PlainCommandText(b->text()));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CDlgPrintTree::OnOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpButton, &QPushButton::clicked, this, [help = std::move(help)] {
        if (help) help();
    });

    auto* side = new QVBoxLayout;
    side->addWidget(all);
    side->addWidget(none);
    side->addSpacing(12);
    side->addWidget(setup);
    side->addStretch();
    auto* body = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(label);
    left->addWidget(tree_);
    body->addLayout(left, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addWidget(buttons);
    resize(420, 460);
}

void CDlgPrintTree::CheckAll(bool on)
{
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        (*it)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

std::vector<int> CDlgPrintTree::CheckedCommands() const
{
    std::vector<int> out;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        if ((*it)->checkState(0) == Qt::Checked)
            out.push_back((*it)->data(0, kCommandRole).toInt());
    return out;
}

void CDlgPrintTree::OnOk()
{
    SelectCheckedItems(selection_, CheckedCommands());
    if (selection_.AnySelected()) {
        accept();
        return;
    }
    const EmptySelectionAnswer answer = CEmptySelectionCounter::Instance().Next();
    Prompt().ShowCaptioned(this, ToQ(Settings().LoadMessage(CEmptySelectionCounter::kMsgCaption)),
                           ToQ(Settings().LoadMessage(answer.message)), CPrompt::Icon::Information);
    if (answer.cancel) reject();
}

}  // namespace rv
