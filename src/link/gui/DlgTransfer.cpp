#include "link/gui/DlgTransfer.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/Settings.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "link/SafeWrite.h"
#include "ui/FormBuilder.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// How a result is shown: a refused band is a warning (the user connected another radio),
/// a missing radio a warning (the user may try again), the rest errors.
CPrompt::Icon IconOf(const LinkResult& result)
{
    switch (result.status) {
        case LinkStatus::Ok:
            return CPrompt::Icon::Information;
        case LinkStatus::NoRadio:
        case LinkStatus::BandMismatch:
        case LinkStatus::Interrupted:  // the user stopped it
            return CPrompt::Icon::Warning;
        default:
            return CPrompt::Icon::Error;
    }
}

/// The message of a result; a language file without it still names the message.
QString MessageOf(const LinkResult& result)
{
    const std::string text = result.Text();
    if (!text.empty()) return ToQ(text);
    return result.message ? QStringLiteral("#%1").arg(result.message) : QString();
}

/// "RV-205   400-470 MHz   COM1": what the data are for and where the radio is looked for.
QString TargetLine()
{
    const CSettings& s = Settings();
    QStringList parts;
    if (!s.ModelName().empty()) parts << ToQ(s.ModelName());
    if (!s.FreqRange().empty()) parts << ToQ(RangeStatusText(s.FreqRange()));
    if (s.ComPort() > 0) {
        const std::string port = FormatTextNumber(
            TextOr(s.LoadMessage(LinkMessage::kPortIndicator), "COM%d"), s.ComPort());
        parts << ToQ(port);
    }
    return parts.join(QStringLiteral("   \u00b7   "));
}

}  // namespace

CDlgTransfer::CDlgTransfer(TransferDirection direction, IMainShell* shell, QWidget* parent)
    : QDialog(parent), direction_(direction), shell_(shell), transfer_(direction)
{
    transfer_.SetStopRequest(&stop_);
    setObjectName("DlgTransfer");
    SetControlId(this, LinkText::kReadTitle);  // F1 opens the help on transfers
    setWindowTitle(Operation());
    setMinimumWidth(460);

    instruction_ = new QLabel(
        UiText(TransferText::kInstruction,
               "Connect the radio to the programming cable and switch it on, then press OK."),
        this);
    instruction_->setObjectName("instruction");
    instruction_->setWordWrap(true);
    auto* target = new QLabel(TargetLine(), this);
    target->setObjectName("target");
    QFont bold = target->font();
    bold.setBold(true);
    target->setFont(bold);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    status_ = new QLabel(UiText(TransferText::kReady, "Ready"), this);
    status_->setObjectName("status");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction_);
    layout->addWidget(target);
    layout->addWidget(line);

    if (direction_ == TransferDirection::Read) {
        progress_ = new QProgressBar(this);
        progress_->setObjectName("progress");
        progress_->setRange(0, 100);
        progress_->setValue(0);
        progress_->setTextVisible(false);  // the status line says the percentage
        progress_->setAccessibleName(status_->text());
        layout->addWidget(status_);
        layout->addWidget(progress_);
    } else {
        safeWrite_ = new QCheckBox(
            UiText(TransferText::kSafeWrite,
                   "Back up the radio before writing and verify the write afterwards"),
            this);
        safeWrite_->setObjectName("safeWrite");
        safeWrite_->setAccessibleName(safeWrite_->text());
        safeWrite_->setChecked(Settings().SafeWrite());
        allBlocks_ = new QCheckBox(
            UiText(TransferText::kAllBlocks,
                   "Write every block (for a radio whose memory is not trusted)"),
            this);
        allBlocks_->setObjectName("allBlocks");
        allBlocks_->setAccessibleName(allBlocks_->text());
        allBlocks_->setChecked(!Settings().ChangedOnly());
        // Only the backup read tells which blocks the radio already holds.
        allBlocks_->setEnabled(safeWrite_->isChecked());
        connect(safeWrite_, &QCheckBox::toggled, allBlocks_, &QWidget::setEnabled);
        connect(safeWrite_, &QCheckBox::toggled, this, [this] { ResetSteps(); });
        layout->addWidget(safeWrite_);
        layout->addWidget(allBlocks_);
        layout->addWidget(status_);

        // One row a step: its label, its own bar and its blocks.
        static constexpr const char* kNames[] = {"backup", "write", "verify"};
        auto* grid = new QGridLayout;
        for (size_t k = 0; k < kWriteStepCount; ++k) {
            StepRow& row = steps_[k];
            row.label = new QLabel(this);
            row.label->setObjectName(QStringLiteral("%1Label").arg(kNames[k]));
            row.bar = new QProgressBar(this);
            row.bar->setObjectName(QStringLiteral("%1Bar").arg(kNames[k]));
            row.bar->setRange(0, 100);
            row.bar->setTextVisible(false);  // the label says the percentage
            row.count = new QLabel(this);
            row.count->setObjectName(QStringLiteral("%1Count").arg(kNames[k]));
            row.count->setMinimumWidth(130);
            grid->addWidget(row.label, static_cast<int>(k), 0);
            grid->addWidget(row.bar, static_cast<int>(k), 1);
            grid->addWidget(row.count, static_cast<int>(k), 2);
        }
        grid->setColumnStretch(1, 1);
        grid->setColumnMinimumWidth(0, 150);
        layout->addLayout(grid);
        progress_ = steps_[Index(WriteStep::Write)].bar;
        ResetSteps();
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    ok_->setText(UiText(ShellText::kOk, "OK"));
    cancel_->setText(UiText(ShellText::kCancel, "Cancel"));
    ok_->setAccessibleName(ok_->text());
    cancel_->setAccessibleName(cancel_->text());
    connect(ok_, &QPushButton::clicked, this, &CDlgTransfer::Start);
    connect(cancel_, &QPushButton::clicked, this, &CDlgTransfer::reject);
    layout->addSpacing(4);
    layout->addWidget(buttons);

    // The worker's calls arrive here on the UI thread; the worker waits until they are done.
    connect(this, &CDlgTransfer::progressReported, this, &CDlgTransfer::ShowProgress,
            Qt::BlockingQueuedConnection);
    connect(this, &CDlgTransfer::stepReported, this, &CDlgTransfer::ShowStep,
            Qt::BlockingQueuedConnection);
    connect(
        this, &CDlgTransfer::backupReported, this,
        [this](const QString& path) {
            backupPath_ = FromQ(path);
            Log(ToQ(Settings().LoadMessage(SafeWriteMessage::kBackupSaved, {backupPath_})));
        },
        Qt::BlockingQueuedConnection);
    connect(this, &CDlgTransfer::transferEnded, this, &CDlgTransfer::EndTransfer,
            Qt::BlockingQueuedConnection);
}

CDlgTransfer::~CDlgTransfer()
{
    WaitForWorker();
}

QString CDlgTransfer::Operation() const
{
    return direction_ == TransferDirection::Read ? UiText(LinkText::kReadTitle, "Read from Radio")
                                                 : UiText(LinkText::kWriteTitle, "Write to Radio");
}

void CDlgTransfer::Log(const QString& result)
{
    if (shell_) shell_->LogEvent(Operation(), result);
}

void CDlgTransfer::SendImage(Image& image, const std::string& sourceFile)
{
    image_ = &image;
    sourceFile_ = sourceFile;
    restore_ = true;
    // A restore always takes a backup of its own and checks what it wrote.
    if (safeWrite_) {
        safeWrite_->setChecked(true);
        safeWrite_->setEnabled(false);
    }
    ResetSteps();
}

QLabel* CDlgTransfer::CurrentLabel() const
{
    if (direction_ == TransferDirection::Read || currentStep_ < 0) return status_;
    return steps_[static_cast<size_t>(currentStep_)].label;
}

void CDlgTransfer::ResetSteps()
{
    if (direction_ != TransferDirection::Write) return;
    static constexpr int kNames[] = {TransferText::kStepBackup, TransferText::kStepWrite,
                                     TransferText::kStepVerify};
    static constexpr const char* kEnglish[] = {"Backup", "Write", "Verify"};
    const bool safe = restore_ || safeWrite_->isChecked();
    for (size_t k = 0; k < kWriteStepCount; ++k) {
        StepRow& row = steps_[k];
        row.label->setText(UiText(kNames[k], kEnglish[k]));
        row.bar->setAccessibleName(row.label->text());
        row.bar->setValue(0);
        const bool runs = safe || k == Index(WriteStep::Write);
        row.count->setText(runs ? UiText(TransferText::kStepWaiting, "Waiting")
                                : UiText(TransferText::kStepSkipped, "Skipped"));
        row.bar->setEnabled(runs);
    }
    currentStep_ = -1;
}

void CDlgTransfer::Start()
{
    if (running_ || worker_.joinable()) return;
    stop_ = false;
    backupPath_.clear();
    writeSucceeded_ = false;
    if (direction_ == TransferDirection::Read)
        StartRead();
    else
        StartWrite();
}

bool CDlgTransfer::StartRead()
{
    status_->setText(UiText(TransferText::kSearching, "Looking for the radio..."));
    status_->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LinkResult result = transfer_.Connect();
    QApplication::restoreOverrideCursor();
    if (!result.Ok()) {
        ReportFailure(result);
        return false;
    }
    std::string found = TextOr(Settings().LoadText(TransferText::kConnected), "%s found on %s");
    found = FormatTextString(found, transfer_.Identity().modelName);
    found = FormatTextString(found, transfer_.Link().PortName());
    Log(ToQ(found));
    Launch([this] { transfer_.Run(*this); });
    return true;
}

bool CDlgTransfer::StartWrite()
{
    CSettings& s = Settings();
    const bool safe = restore_ || safeWrite_->isChecked();
    if (!restore_) {
        s.SetSafeWrite(safe);
        s.SetChangedOnly(!allBlocks_->isChecked());
    }
    options_ = {};
    options_.backup = safe;
    options_.verify = safe;
    options_.restore = restore_;
    options_.allBlocks = allBlocks_->isChecked();
    options_.sourceFile = !sourceFile_.empty() ? sourceFile_
                          : shell_             ? shell_->Document().Path()
                                               : std::string();
    options_.stop = &stop_;
    if (safe) {
        std::string tried;
        options_.backupFolder = BackupFolder(s.ProgramDir(), false, tried);
        if (options_.backupFolder.empty()) {
            const QString text =
                ToQ(s.LoadMessage(SafeWriteMessage::kBackupFolderFailed, {tried}));
            Log(text);
            Prompt().Show(this, text, CPrompt::Icon::Error);
            done(QDialog::Rejected);
            return false;
        }
    }
    ResetSteps();
    status_->setText(UiText(TransferText::kSearching, "Looking for the radio..."));
    status_->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LinkResult open = writeSession_.Open({});
    QApplication::restoreOverrideCursor();
    if (!open.Ok()) {
        if (open.status == LinkStatus::NoRadio) {
            ReportFailure(open);
            return false;
        }
        session_ = NotOpened(open, options_);
        result_ = open;
        EndWrite();
        return false;
    }
    std::string found = TextOr(s.LoadText(TransferText::kConnected), "%s found on %s");
    found = FormatTextString(found, s.ModelName());
    found = FormatTextString(found, writeSession_.Device());
    Log(ToQ(found));
    Image* image = image_ ? image_ : &Radio().MemoryImage();
    Launch([this, image] {
        session_ = writeSession_.Run(*image, options_, *this);
        result_ = session_.link;
        emit transferEnded();
    });
    return true;
}

void CDlgTransfer::Launch(std::function<void()> work)
{
    // Cancel stays: it stops the transfer after the block under way.
    ok_->setEnabled(false);
    if (safeWrite_) safeWrite_->setEnabled(false);
    if (allBlocks_) allBlocks_->setEnabled(false);
    if (!stop_) {
        cancel_->setEnabled(true);
        cancel_->setToolTip(
            UiText(TransferText::kCancelTip, "Stops the transfer after the block under way"));
    }
    instruction_->setText(UiText(
        TransferText::kRunning,
        "Do not disconnect the cable or switch the radio off until the transfer has finished."));
    running_ = true;
    if (direction_ == TransferDirection::Read) ShowProgress(0);
    worker_ = std::thread(std::move(work));
}

void CDlgTransfer::ReportFailure(const LinkResult& result)
{
    result_ = result;
    const QString text = MessageOf(result);
    Log(text);
    Prompt().Show(this, text, IconOf(result));
    if (result.status == LinkStatus::NoRadio) {
        // Nothing answered: the user may check the cable and press OK again.
        status_->setText(UiText(TransferText::kReady, "Ready"));
        ok_->setEnabled(true);
        cancel_->setEnabled(true);
        if (safeWrite_) safeWrite_->setEnabled(!restore_);
        if (allBlocks_) allBlocks_->setEnabled(restore_ || safeWrite_->isChecked());
        return;
    }
    done(QDialog::Rejected);
}

void CDlgTransfer::OnTransferProgress(TransferDirection, int percent)
{
    emit progressReported(percent);
}

void CDlgTransfer::OnTransferFinished(TransferDirection, const LinkResult& result)
{
    result_ = result;
    emit transferEnded();
}

void CDlgTransfer::OnStepStarted(WriteStep step, size_t total)
{
    emit stepReported(static_cast<int>(step), 0, static_cast<int>(total));
}

void CDlgTransfer::OnStepProgress(WriteStep step, size_t done, size_t total)
{
    emit stepReported(static_cast<int>(step), static_cast<int>(done), static_cast<int>(total));
}

void CDlgTransfer::OnBackupSaved(const std::string& path)
{
    emit backupReported(ToQ(path));
}

bool CDlgTransfer::ConfirmOtherRadio(const std::string& backupSerial,
                                     const std::string& radioSerial)
{
    bool yes = false;
    QMetaObject::invokeMethod(
        this,
        [&] {
            const QString question = ToQ(Settings().LoadMessage(TransferMessage::kAskOtherRadio,
                                                                {backupSerial, radioSerial}));
            yes = Prompt().AskYesNo(this, question) == CPrompt::Answer::Yes;
        },
        Qt::BlockingQueuedConnection);
    return yes;
}

void CDlgTransfer::ShowProgress(int percent)
{
    const int text =
        direction_ == TransferDirection::Read ? LinkText::kReadProgress : LinkText::kWriteProgress;
    const char* english = direction_ == TransferDirection::Read ? "Reading... %d" : "Writing... %d";
    // After Cancel the status keeps saying that the transfer stops.
    if (!stop_)
        status_->setText(
            ToQ(FormatTextNumber(TextOr(Settings().LoadText(text), english), percent)) +
            QLatin1Char('%'));
    progress_->setValue(percent);
    emit progressShown(percent);
}

void CDlgTransfer::ShowStep(int step, int done, int total)
{
    // The label, the bar and the count of a step say one figure: its own blocks.
    static constexpr int kTexts[] = {TransferText::kBackupProgress, LinkText::kWriteProgress,
                                     TransferText::kVerifyProgress};
    static constexpr const char* kEnglish[] = {"Backing up: %d", "Writing... %d",
                                               "Verifying: %d"};
    const size_t k = static_cast<size_t>(step);
    StepRow& row = steps_[k];
    for (int before = currentStep_ + 1; before < step; ++before)
        if (steps_[static_cast<size_t>(before)].bar->isEnabled())
            steps_[static_cast<size_t>(before)].count->setText(
                UiText(TransferText::kStepSkipped, "Skipped"));
    if (currentStep_ >= 0 && currentStep_ != step)
        steps_[static_cast<size_t>(currentStep_)].count->setText(
            UiText(TransferText::kStepDone, "Done"));
    currentStep_ = step;
    const int percent = total > 0 ? done * 100 / total : 0;
    row.label->setText(ToQ(FormatTextNumber(TextOr(Settings().LoadText(kTexts[k]), kEnglish[k]),
                                            percent)) +
                       QLatin1Char('%'));
    row.bar->setValue(percent);
    std::string count = TextOr(Settings().LoadText(TransferText::kBlocksOf), "%d of %d blocks");
    count = FormatTextNumber(FormatTextNumber(count, done), total);
    row.count->setText(ToQ(count));
    if (!stop_) status_->setText(row.label->text());
    emit progressShown(percent);
}

void CDlgTransfer::CommitWrite()
{
    if (!writeSucceeded_ || restore_) return;
    CRadioInfoBlock& info = Radio().RadioInfo();
    info.Raw().CopyFrom(Radio().MemoryImage().data() + CRadioInfoBlock::kImageAddress);
}

void CDlgTransfer::EndTransfer()
{
    if (direction_ == TransferDirection::Write) {
        EndWrite();
        return;
    }
    running_ = false;
    const QString text = MessageOf(result_);
    Log(text);
    Prompt().Show(this, text, IconOf(result_));
    done(result_.Ok() ? QDialog::Accepted : QDialog::Rejected);
}

void CDlgTransfer::EndWrite()
{
    running_ = false;
    const CSettings& s = Settings();
    // The write step went through when the session got past it: the radio holds the new
    // time stamp then, whatever the check found.
    const WriteOutcome o = session_.outcome;
    writeSucceeded_ = o == WriteOutcome::Done || o == WriteOutcome::Mismatch ||
                      o == WriteOutcome::VerifyFailed ||
                      (o == WriteOutcome::Interrupted &&
                       (session_.step == WriteStep::Verify ||
                        session_.message == WriteSessionMessage::kStoppedBeforeVerify));
    if (currentStep_ >= 0)
        steps_[static_cast<size_t>(currentStep_)].count->setText(
            session_.Ok() ? UiText(TransferText::kStepDone, "Done") : QString());
    QString text = ToQ(WriteSessionText(session_, options_, false));
    if (session_.Ok()) {
        // The link's own word first ("The radio has been programmed."), then what was done.
        text = MessageOf(session_.link) + QLatin1Char(' ') + text;
        if (restore_)
            text += QLatin1Char(' ') +
                    ToQ(s.LoadMessage(WriteSessionMessage::kRestored,
                                      {StretchListText(WrittenRanges(s.IsServiceLevel()))}));
    } else if (session_.radioChanged && !backupPath_.empty()) {
        // Only a session that sent blocks has changed the radio; then the backup puts it back.
        text += QLatin1Char('\n') +
                ToQ(s.LoadMessage(SafeWriteMessage::kRestoreHint, {backupPath_}));
    }
    Log(text);
    CPrompt::Icon icon = CPrompt::Icon::Error;
    if (session_.Ok())
        icon = CPrompt::Icon::Information;
    else if (session_.Interrupted() || session_.link.status == LinkStatus::BandMismatch)
        icon = CPrompt::Icon::Warning;
    Prompt().Show(this, text, icon);
    done(session_.Ok() ? QDialog::Accepted : QDialog::Rejected);
}

void CDlgTransfer::WaitForWorker()
{
    if (worker_.joinable()) worker_.join();
}

void CDlgTransfer::RequestStop()
{
    if (stop_) return;
    stop_ = true;
    cancel_->setEnabled(false);
    status_->setText(UiText(TransferText::kStopping, "Stopping after the block under way..."));
}

void CDlgTransfer::reject()
{
    // A running transfer ends its block and the connection first; it closes the screen then.
    if (running_) {
        RequestStop();
        return;
    }
    QDialog::reject();
}

void CDlgTransfer::closeEvent(QCloseEvent* event)
{
    if (running_) {
        RequestStop();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool RunReadFromRadio(IMainShell& shell, CQTXDoc& document)
{
    // The radio's memory will replace the data: unsaved changes are offered for saving first.
    if (!document.SaveModified().Ok()) return false;
    CDlgTransfer dialog(TransferDirection::Read, &shell, shell.Window());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    dialog.WaitForWorker();
    if (!accepted) {
        shell.RefreshStatusBar();  // the search may have found the radio on another port
        return false;
    }
    shell.CloseAllViews();
    // The radio's identity and memory replace the data; they no longer come from a file, so
    // the next Save asks for a name.
    dialog.Transfer().CommitRead();
    Radio().InvalidLog().Clear();
    document.ForgetPath();
    document.MarkClean();
    document.ResetUndo();
    shell.RefreshAll();
    return true;
}

bool RunReadFromRadio(IMainShell& shell)
{
    return RunReadFromRadio(shell, shell.Document());
}

bool RunWriteToRadio(IMainShell& shell)
{
    // Open views commit their fields first, so that the check sees what the user entered.
    shell.StoreAllViews();
    RadioData& radio = Radio();
    if (radio.ValidateAll()) {
        ShowMessage(shell.Window(), DocMessage::kInvalidData, CPrompt::Icon::Warning);
        shell.LogEvent(UiText(LinkText::kWriteTitle, "Write to Radio"),
                       UiMessage(DocMessage::kInvalidData, "Invalid entries: nothing was sent."));
        return false;
    }
    radio.MemoryMap().PrepareImage();

    CDlgTransfer dialog(TransferDirection::Write, &shell, shell.Window());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    dialog.WaitForWorker();
    // A write that went through stamped the radio, even when the verify then found a fault.
    if (dialog.WriteSucceeded()) {
        dialog.CommitWrite();
        shell.ReloadAllViews();  // the radio information shows the new programming time
    }
    shell.RefreshStatusBar();
    return accepted;
}

}  // namespace rv
