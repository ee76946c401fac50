#include "link/gui/DlgRestoreBackup.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>

#include "base/Settings.h"
#include "data/DataFile.h"
#include "link/gui/DlgTransfer.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

QString TimeText(std::time_t when)
{
    if (when == 0) return {};
    std::tm tm{};
    localtime_r(&when, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return QString::fromLatin1(buf);
}

// A button's text without its mnemonic marks, as a screen reader says it.
QString Plain(QString text)
{
    return PlainCommandText(text);
}

QString Operation()
{
    return UiText(RestoreText::kTitle, "Restore Backup");
}

}  // namespace

std::vector<BackupEntry> AllBackups()
{
    std::vector<BackupEntry> all;
    for (const std::string& folder : BackupFolderCandidates(Settings().ProgramDir(), false)) {
        std::vector<BackupEntry> some = ListBackups(folder);
        all.insert(all.end(), some.begin(), some.end());
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const BackupEntry& a, const BackupEntry& b) { return a.time > b.time; });
    return all;
}

CDlgRestoreBackup::CDlgRestoreBackup(QWidget* parent) : QDialog(parent), backups_(AllBackups())
{
    setObjectName("DlgRestoreBackup");
    setWindowTitle(Operation());
    resize(820, 360);

    auto* instruction = new QLabel(this);
    instruction->setObjectName("instruction");
    instruction->setWordWrap(true);
    if (backups_.empty()) {
        std::string folders;
        for (const std::string& f : BackupFolderCandidates(Settings().ProgramDir(), false))
            folders += (folders.empty() ? "" : ", ") + f;
        instruction->setText(ToQ(Settings().LoadMessage(RestoreMessage::kNoBackups, {folders})));
    } else {
        instruction->setText(UiText(RestoreText::kInstruction,
                                    "Backups, newest first. The one you choose is written to "
                                    "the radio with a backup of its own."));
    }

    list_ = new QTreeWidget(this);
    list_->setObjectName("backups");
    list_->setAccessibleName(Operation());
    list_->setRootIsDecorated(false);
    list_->setAlternatingRowColors(true);
    list_->setHeaderLabels({UiText(RestoreText::kTimeColumn, "Time"),
                            UiText(RestoreText::kSerialColumn, "Serial number"),
                            UiText(RestoreText::kCommentColumn, "Comment"),
                            UiText(RestoreText::kFileColumn, "File")});
    for (const BackupEntry& b : backups_) {
        auto* item = new QTreeWidgetItem(
            list_, {TimeText(b.time), ToQ(b.serial), ToQ(b.comment), ToQ(b.name)});
        item->setToolTip(3, ToQ(b.path));
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->header()->setStretchLastSection(true);
    if (!backups_.empty()) list_->setCurrentItem(list_->topLevelItem(0));

    auto* buttons = new QDialogButtonBox(this);
    restore_ = buttons->addButton(UiText(RestoreText::kRestoreButton, "&Restore"),
                                  QDialogButtonBox::AcceptRole);
    restore_->setObjectName("restore");
    restore_->setAccessibleName(Plain(restore_->text()));
    restore_->setEnabled(!backups_.empty());
    QPushButton* cancel =
        buttons->addButton(UiText(ShellText::kCancel, "Cancel"), QDialogButtonBox::RejectRole);
    cancel->setAccessibleName(Plain(cancel->text()));
    connect(restore_, &QPushButton::clicked, this, &CDlgRestoreBackup::Choose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &CDlgRestoreBackup::Choose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
}

void CDlgRestoreBackup::Choose()
{
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0 || row >= static_cast<int>(backups_.size())) return;
    chosen_ = backups_[static_cast<size_t>(row)].path;
    accept();
}

bool RunRestoreBackup(IMainShell& shell)
{
    CDlgRestoreBackup list(shell.Window());
    if (list.exec() != QDialog::Accepted || list.ChosenPath().empty()) return false;
    const std::string path = list.ChosenPath();
    const CSettings& s = Settings();
    if (Prompt().AskYesNo(shell.Window(), ToQ(s.LoadMessage(RestoreMessage::kConfirm, {path}))) !=
        CPrompt::Answer::Yes) {
        shell.LogEvent(Operation(), UiText(ShellText::kResultCancelled, "Cancelled"));
        return false;
    }
    Image image{};
    const std::optional<CDataFileHeader> header = CDataFile::ReadHeader(path);
    if (!header || !CDataFile::Read(path, nullptr, image)) {
        const QString text = ToQ(s.LoadMessage(RestoreMessage::kNotReadable, {path}));
        shell.LogEvent(Operation(), text);
        Prompt().Show(shell.Window(), text, CPrompt::Icon::Error);
        return false;
    }
    // The radio is checked against the current model and range: a backup of another one
    // would otherwise go to a radio of the current model.
    if (header->ModelId() != s.ModelID() || header->RangeText() != s.FreqRange()) {
        const QString text = ToQ(s.LoadMessage(
            RestoreMessage::kOtherModel,
            {header->ModelName(), header->RangeText(), s.ModelName(), s.FreqRange()}));
        shell.LogEvent(Operation(), text);
        Prompt().Show(shell.Window(), text, CPrompt::Icon::Warning);
        return false;
    }
    // The backup's bytes go to the radio as they came from it, not repacked and whatever its
    // references; the open data stay as they are.
    CDlgTransfer dialog(TransferDirection::Write, &shell, shell.Window());
    dialog.SendImage(image, path);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    dialog.WaitForWorker();
    shell.RefreshStatusBar();
    return accepted;
}

}  // namespace rv
