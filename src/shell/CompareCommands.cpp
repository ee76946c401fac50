#include "shell/CompareCommands.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <string>

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/ModelCatalog.h"
#include "data/Notice.h"
#include "data/RadioData.h"
#include "link/gui/DlgTransfer.h"
#include "report/RecordTables.h"
#include "shell/DlgFileHeader.h"
#include "shell/MainFrame.h"
#include "shell/ViewTable.h"
#include "ui/CustomFormView.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/ShellRegistry.h"

namespace rv {

namespace {

CompareReadRunner& ReadRunner()
{
    static CompareReadRunner runner;
    return runner;
}

/// Drops the comment line (a radio keeps no comment).
HeaderLines WithoutComment(HeaderLines lines)
{
    std::erase_if(lines, [](const auto& line) { return line.first == "comment"; });
    return lines;
}

/// The record caption in the language in use ("Channel", "VOX"), the table's name when the
/// language has none.
QString RecordCaption(const std::string& record)
{
    for (const RecordKind& kind : RecordKinds())
        if (kind.table->name == record)
            return ToQ(TextOr(Settings().LoadText(kind.table->title), record.c_str()));
    return ToQ(record);
}

/// "where, what" with the language's separator.
QString Joined(const QString& where, const QString& what)
{
    return UiText(CompareText::kJoined, "%1, %2").arg(where, what);
}

QString FieldText(const Difference& d)
{
    QString where = RecordCaption(d.record);
    if (d.index) where += QStringLiteral(" %1").arg(d.index);
    switch (d.kind) {
        case DifferenceKind::Header:
            return Joined(UiText(CompareText::kHeader, "Header"), ToQ(d.key));
        case DifferenceKind::Byte: {
            char address[16];
            std::snprintf(address, sizeof address, "0x%03zX", d.address);
            return UiText(CompareText::kByte, "Byte %1 (outside every field)").arg(address);
        }
        case DifferenceKind::Record:
            return where;
        case DifferenceKind::Field:
            break;
    }
    return Joined(where, ToQ(d.label.empty() ? d.key : d.label));
}

}  // namespace

CompareReadRunner SetCompareReadRunner(CompareReadRunner runner)
{
    CompareReadRunner previous = std::move(ReadRunner());
    ReadRunner() = std::move(runner);
    return previous;
}

CDlgCompare::CDlgCompare(IMainShell& shell, QWidget* parent) : QDialog(parent), shell_(shell)
{
    setObjectName("DlgCompare");
    setWindowTitle(UiText(CompareText::kTitle, "Compare With"));

    auto* instruction =
        new QLabel(UiText(CompareText::kInstruction, "Compare the open configuration with:"), this);
    file_ = new QPushButton(UiText(CompareText::kFileButton, "Data &File..."), this);
    file_->setObjectName("CompareFile");
    radio_ = new QPushButton(UiText(CompareText::kRadioButton, "&Radio"), this);
    radio_->setObjectName("CompareRadio");
    for (QPushButton* b : {file_, radio_}) {
        b->setAccessibleName(PlainCommandText(b->text()));
        b->setAutoDefault(false);
    }
    connect(file_, &QPushButton::clicked, this, &CDlgCompare::ChooseFile);
    connect(radio_, &QPushButton::clicked, this, [this] { CompareWithRadio(); });

    summary_ = new QLabel(this);
    summary_->setObjectName("Summary");
    summary_->setWordWrap(true);

    table_ = new QTreeWidget(this);
    table_->setObjectName("Differences");
    table_->setRootIsDecorated(false);
    table_->setUniformRowHeights(true);
    table_->setAlternatingRowColors(true);
    table_->setColumnCount(3);
    table_->setHeaderLabels({UiText(CompareText::kFieldColumn, "Field"),
                             UiText(CompareText::kThisColumn, "This Configuration"),
                             UiText(CompareText::kOtherColumn, "Other")});
    table_->setAccessibleName(UiText(CompareText::kTitle, "Compare With"));
    table_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    table_->header()->setStretchLastSection(false);
    connect(table_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { GoToRow(table_->indexOfTopLevelItem(item)); });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close =
        buttons->addButton(UiText(CompareText::kClose, "&Close"), QDialogButtonBox::RejectRole);
    close->setObjectName("Close");
    close->setAccessibleName(PlainCommandText(close->text()));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* choice = new QHBoxLayout;
    choice->addWidget(instruction);
    choice->addWidget(file_);
    choice->addWidget(radio_);
    choice->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(720, 460);
}

void CDlgCompare::Log(const QString& operation, const QString& result)
{
    shell_.LogEvent(operation, result);
}

ConfigSnapshot CDlgCompare::Mine(bool withComment)
{
    shell_.StoreAllViews();
    const std::string& path = shell_.Document().Path();
    const std::string comment = path.empty() ? std::string() : CDataFile::ReadComment(path);
    HeaderLines header = HeaderLinesOf(CQTXDoc::BuildHeader(), comment);
    if (!withComment) header = WithoutComment(std::move(header));
    return SnapshotOfImage(Radio().MemoryMap().PackedImage(false), std::move(header));
}

void CDlgCompare::Show(const ConfigSnapshot& mine, const ConfigSnapshot& other, const QString& name)
{
    diffs_ = CompareConfigs(mine, other, Settings());
    table_->clear();
    const QString onlyHere = UiText(CompareText::kOnlyHere, "Only in this configuration");
    const QString onlyThere = UiText(CompareText::kOnlyThere, "Only in the other configuration");
    QList<QTreeWidgetItem*> rows;
    for (const Difference& d : diffs_) {
        QStringList cells{FieldText(d), ToQ(d.a), ToQ(d.b)};
        if (d.kind == DifferenceKind::Record) {
            cells[1] = d.a.empty() ? QString() : onlyHere;
            cells[2] = d.b.empty() ? QString() : onlyThere;
        }
        auto* item = new QTreeWidgetItem(cells);
        for (int c = 0; c < 3; ++c) item->setToolTip(c, cells[c]);
        rows.push_back(item);
    }
    table_->addTopLevelItems(rows);
    table_->setHeaderLabels({UiText(CompareText::kFieldColumn, "Field"),
                             UiText(CompareText::kThisColumn, "This Configuration"), name});
    QString summary;
    if (diffs_.empty()) {
        summary = UiText(CompareText::kSummaryEqual, "The open configuration and %1 are the same.")
                      .arg(name);
        Prompt().Show(this, ToQ(Settings().LoadMessage(CompareMessage::kEqual, {FromQ(name)})),
                      CPrompt::Icon::Information);
    } else if (diffs_.size() == 1) {
        summary = UiText(CompareText::kSummaryOne,
                         "1 difference between the open configuration and %2. Double-click the "
                         "row to open its view.")
                      .arg(name);
        table_->setCurrentItem(table_->topLevelItem(0));
    } else {
        summary = UiText(CompareText::kSummary,
                         "%1 differences between the open configuration and %2. Double-click "
                         "a row to open its view.")
                      .arg(diffs_.size())
                      .arg(name);
        table_->setCurrentItem(table_->topLevelItem(0));
    }
    summary_->setText(summary);
    summary_->setAccessibleName(summary);
}

bool CDlgCompare::CompareWithFile(const QString& path)
{
    const QString operation =
        UiText(CompareText::kTitle, "Compare With") + QStringLiteral(" ") + path;
    const SnapshotFile file = ReadSnapshotFile(FromQ(path));
    if (!file.snapshot) {
        const QString text = ToQ(Settings().LoadMessage(file.message, {FromQ(path)}));
        Log(operation, FailedResult(text));
        Prompt().Show(this, text, CPrompt::Icon::Warning);
        return false;
    }
    Show(Mine(true), *file.snapshot, path);
    table_->headerItem()->setText(2, QFileInfo(path).fileName());
    table_->headerItem()->setToolTip(2, path);
    Log(operation, UiText(ShellText::kResultDone, "Done"));
    return true;
}

bool CDlgCompare::CompareWithRadio()
{
    const ConfigSnapshot mine = Mine(false);
    CDlgTransfer dialog(TransferDirection::Read, &shell_, this);
    const int answer = ReadRunner() ? ReadRunner()(dialog) : dialog.exec();
    dialog.WaitForWorker();
    // The search may have found the radio on another port.
    shell_.RefreshStatusBar();
    if (answer != QDialog::Accepted || !dialog.Result().Ok()) return false;
    // The radio's memory goes into the compare only: the open configuration stays.
    const CTransfer& read = dialog.Transfer();
    const RadioIdentity& id = read.Identity();
    const CDataFileHeader header = CDataFileHeader::Make(
        id.modelId, id.modelName, read.RadioRange().low, read.RadioRange().high, id.version,
        ModelCatalog().CurrentBandCode(), static_cast<int>(id.signal));
    const ConfigSnapshot radio =
        SnapshotOfImage(read.Buffer(), WithoutComment(HeaderLinesOf(header, "")));
    Show(mine, radio, UiText(CompareText::kTheRadio, "the radio"));
    table_->headerItem()->setText(2, radio_->accessibleName());
    return true;
}

void CDlgCompare::ChooseFile()
{
    const std::optional<std::string> path =
        FileChooser().ChooseOpenPath(this, shell_.Document().Path());
    if (path) CompareWithFile(ToQ(*path));
}

void CDlgCompare::GoToRow(int k)
{
    if (k < 0 || static_cast<size_t>(k) >= diffs_.size()) return;
    const Difference& d = diffs_[static_cast<size_t>(k)];
    if (d.kind == DifferenceKind::Header || d.kind == DifferenceKind::Byte) return;
    const int command = ViewOfRecord(d.record);
    auto* frame = dynamic_cast<CMainFrame*>(&shell_);
    if (command == 0 || !frame) return;
    CCustomFormView* view = frame->OpenView(command);
    if (!view) return;
    frame->raise();
    frame->activateWindow();
    // An item only the other side has: the list, on no item of its own.
    if (d.kind == DifferenceKind::Record && d.a.empty()) return;
    if (d.index > 0) view->Navigate(static_cast<int>(NoticeCode::GoTo), static_cast<int>(d.index));
    if (!d.key.empty()) view->FocusField(d.key);
}

CDlgCompare* ShowCompareWindow(IMainShell& shell)
{
    // A window of its own beside the main window, so that the view a row opens can come to
    // the front; it goes with the main window.
    static QPointer<CDlgCompare> open;
    QWidget* window = shell.Window();
    if (!open) {
        open = new CDlgCompare(shell, nullptr);
        open->setAttribute(Qt::WA_DeleteOnClose);
        // Closing the main window ends the program even while this window is open.
        open->setAttribute(Qt::WA_QuitOnClose, false);
        CDlgCompare* dialog = open;
        QObject::connect(window, &QObject::destroyed, dialog, [dialog] { delete dialog; });
    }
    open->show();
    open->raise();
    open->activateWindow();
    return open;
}

void RegisterCompareCommands()
{
    RegisterCommand(Id(Command::CompareWith), [](IMainShell& shell) { ShowCompareWindow(shell); });
}

}  // namespace rv
