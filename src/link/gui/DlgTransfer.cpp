#include "link/gui/DlgTransfer.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "base/Settings.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
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
    setMinimumWidth(420);

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
    progress_ = new QProgressBar(this);
    progress_->setObjectName("progress");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);  // the status line says the percentage

    if (direction_ == TransferDirection::Write) {
        safeWrite_ = new QCheckBox(
            UiText(TransferText::kSafeWrite,
                   "Back up the radio before writing and verify the write afterwards"),
            this);
        safeWrite_->setObjectName("safeWrite");
        safeWrite_->setAccessibleName(safeWrite_->text());
        safeWrite_->setChecked(Settings().SafeWrite());
        changedOnly_ =
            new QCheckBox(UiText(TransferText::kChangedOnly,
                                 "Write only the blocks that changed (uses the backup read)"),
                          this);
        changedOnly_->setObjectName("changedOnly");
        changedOnly_->setAccessibleName(changedOnly_->text());
        changedOnly_->setChecked(Settings().ChangedOnly());
        // Only the backup read tells which blocks the radio already holds.
        changedOnly_->setEnabled(safeWrite_->isChecked());
        connect(safeWrite_, &QCheckBox::toggled, changedOnly_, &QWidget::setEnabled);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    ok_->setText(UiText(ShellText::kOk, "OK"));
    cancel_->setText(UiText(ShellText::kCancel, "Cancel"));
    connect(ok_, &QPushButton::clicked, this, &CDlgTransfer::Start);
    connect(cancel_, &QPushButton::clicked, this, &CDlgTransfer::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instruction_);
    layout->addWidget(target);
    layout->addWidget(line);
    if (safeWrite_) layout->addWidget(safeWrite_);
    if (changedOnly_) layout->addWidget(changedOnly_);
    layout->addWidget(status_);
    layout->addWidget(progress_);
    layout->addSpacing(4);
    layout->addWidget(buttons);

    // The worker's calls arrive here on the UI thread; the worker waits until they are done.
    connect(this, &CDlgTransfer::progressReported, this, &CDlgTransfer::ShowProgress,
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

CTransfer& CDlgTransfer::Current()
{
    return phase_ == Phase::Transfer || !read_ ? transfer_ : *read_;
}

void CDlgTransfer::Start()
{
    if (running_ || worker_.joinable()) return;
    safe_ = safeWrite_ && safeWrite_->isChecked();
    if (safeWrite_) Settings().SetSafeWrite(safe_);
    if (changedOnly_) Settings().SetChangedOnly(changedOnly_->isChecked());
    transfer_.SetHeldImage(nullptr);
    phase_ = Phase::Transfer;
    writeSucceeded_ = false;
    stop_ = false;
    backupPath_.clear();
    if (safe_) {
        std::string tried;
        backupFolder_ = BackupFolder(Settings().ProgramDir(), false, tried);
        if (backupFolder_.empty()) {
            Fail(ToQ(Settings().LoadMessage(SafeWriteMessage::kBackupFolderFailed, {tried})));
            return;
        }
        phase_ = Phase::Backup;
        read_ = std::make_unique<CTransfer>(TransferDirection::Read);
        read_->SetStopRequest(&stop_);
    }
    StartPhase();
}

bool CDlgTransfer::StartPhase()
{
    status_->setText(UiText(TransferText::kSearching, "Looking for the radio..."));
    status_->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LinkResult result = Current().Connect();
    QApplication::restoreOverrideCursor();
    if (!result.Ok()) {
        running_ = false;
        if (phase_ == Phase::Backup && result.status != LinkStatus::NoRadio)
            Fail(ToQ(Settings().LoadMessage(SafeWriteMessage::kBackupReadFailed,
                                            {MessageOf(result).toStdString()})));
        else if (phase_ == Phase::Verify)
            Fail(ToQ(Settings().LoadMessage(SafeWriteMessage::kVerifyReadFailed,
                                            {MessageOf(result).toStdString()})));
        else
            ReportFailure(result);
        return false;
    }

    std::string found = TextOr(Settings().LoadText(TransferText::kConnected), "%s found on %s");
    found = FormatTextString(found, Current().Identity().modelName);
    found = FormatTextString(found, Current().Link().PortName());
    Log(ToQ(found));

    // Cancel stays: it stops the transfer after the block under way.
    ok_->setEnabled(false);
    if (safeWrite_) safeWrite_->setEnabled(false);
    if (!stop_) {
        cancel_->setEnabled(true);
        cancel_->setToolTip(
            UiText(TransferText::kCancelTip, "Stops the transfer after the block under way"));
    }
    if (changedOnly_) changedOnly_->setEnabled(false);
    instruction_->setText(UiText(
        TransferText::kRunning,
        "Do not disconnect the cable or switch the radio off until the transfer has finished."));
    ShowProgress(0);
    running_ = true;
    CTransfer* transfer = &Current();
    worker_ = std::thread([this, transfer] { transfer->Run(*this); });
    return true;
}

void CDlgTransfer::NextPhase()
{
    WaitForWorker();  // it returns right after reporting its end
    StartPhase();
}

void CDlgTransfer::Fail(const QString& text)
{
    running_ = false;
    Log(text);
    Prompt().Show(this, text, CPrompt::Icon::Error);
    done(QDialog::Rejected);
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
        if (safeWrite_) safeWrite_->setEnabled(true);
        if (changedOnly_) changedOnly_->setEnabled(safeWrite_->isChecked());
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

void CDlgTransfer::ShowProgress(int percent)
{
    int text =
        direction_ == TransferDirection::Read ? LinkText::kReadProgress : LinkText::kWriteProgress;
    const char* english = direction_ == TransferDirection::Read ? "Reading... %d" : "Writing... %d";
    if (phase_ == Phase::Backup) {
        text = TransferText::kBackupProgress;
        english = "Backing up: %d";
    } else if (phase_ == Phase::Verify) {
        text = TransferText::kVerifyProgress;
        english = "Verifying: %d";
    }
    // After Cancel the status keeps saying that the transfer stops.
    if (!stop_)
        status_->setText(
            ToQ(FormatTextNumber(TextOr(Settings().LoadText(text), english), percent)) +
            QLatin1Char('%'));
    // With backup and verify the bar shows the whole job, each phase by its blocks.
    int overall = percent;
    if (safe_) {
        const int reads = static_cast<int>(kReadBlockCount);
        const int writes = static_cast<int>(WritePlan(Settings().IsServiceLevel()).size());
        const int before = phase_ == Phase::Backup     ? 0
                           : phase_ == Phase::Transfer ? reads
                                                       : reads + writes;
        const int own = phase_ == Phase::Transfer ? writes : reads;
        overall = (before * 100 + own * percent) / (2 * reads + writes);
    }
    progress_->setValue(overall);
}

void CDlgTransfer::EndTransfer()
{
    const CSettings& s = Settings();
    // Only a write that sent blocks has changed the radio; then the backup is what puts it back.
    auto withRestore = [this, &s](QString text) {
        if (!backupPath_.empty())
            text += QLatin1Char('\n') +
                    ToQ(s.LoadMessage(SafeWriteMessage::kRestoreHint, {backupPath_}));
        return text;
    };
    if (!result_.Ok()) {
        running_ = false;
        const QString text = MessageOf(result_);
        const bool stopped = result_.status == LinkStatus::Interrupted;
        if (stopped && phase_ != Phase::Transfer) {
            // Stopped while the radio was only being read: before the write nothing was sent,
            // after it the write itself went through.
            const int message = phase_ == Phase::Backup ? TransferMessage::kBackupCancelled
                                                        : TransferMessage::kVerifyCancelled;
            const QString said =
                UiMessage(message, phase_ == Phase::Backup ? "Nothing was sent to the radio."
                                                           : "The radio was written; the check "
                                                             "of the write was cancelled.");
            Log(said);
            Prompt().Show(this, said, CPrompt::Icon::Warning);
            done(QDialog::Rejected);
        } else if (phase_ == Phase::Backup) {
            Fail(ToQ(s.LoadMessage(SafeWriteMessage::kBackupReadFailed, {text.toStdString()})));
        } else if (phase_ == Phase::Verify) {
            Fail(withRestore(
                ToQ(s.LoadMessage(SafeWriteMessage::kVerifyReadFailed, {text.toStdString()}))));
        } else {
            const bool changed =
                result_.status == LinkStatus::BlockFailed || !result_.written.empty();
            Log(changed ? withRestore(text) : text);
            Prompt().Show(this, changed ? withRestore(text) : text, IconOf(result_));
            done(QDialog::Rejected);
        }
        return;
    }
    if (phase_ == Phase::Backup) {
        std::string tried;
        const std::string path =
            SaveBackup(backupFolder_, read_->Buffer(), read_->Identity().modelName, s.FreqRange(),
                       !sourceFile_.empty() ? sourceFile_
                       : shell_             ? shell_->Document().Path()
                                            : std::string(),
                       tried);
        if (path.empty()) {
            Fail(ToQ(s.LoadMessage(SafeWriteMessage::kBackupSaveFailed, {tried})));
            return;
        }
        backupPath_ = path;
        Log(ToQ(s.LoadMessage(SafeWriteMessage::kBackupSaved, {path})));
        if (changedOnly_ && changedOnly_->isChecked()) {
            held_ = read_->Buffer();
            transfer_.SetHeldImage(&held_);
        }
        phase_ = Phase::Transfer;
        QTimer::singleShot(0, this, &CDlgTransfer::NextPhase);
        return;
    }
    if (phase_ == Phase::Transfer && direction_ == TransferDirection::Write) {
        writeSucceeded_ = true;
        if (changedOnly_ && changedOnly_->isChecked() && safe_)
            Log(ToQ(s.LoadMessage(SafeWriteMessage::kChangedBlocks,
                                  {std::to_string(transfer_.BlocksSent()),
                                   std::to_string(WritePlan(s.IsServiceLevel()).size())})));
        if (safe_) {
            written_ = result_;
            phase_ = Phase::Verify;
            read_ = std::make_unique<CTransfer>(TransferDirection::Read);
            read_->SetStopRequest(&stop_);
            // After a write of the changed blocks only those and the stamp are read back.
            if (changedOnly_ && changedOnly_->isChecked())
                read_->SetReadRanges(VerifyRanges(true, written_.written, s.IsServiceLevel()));
            QTimer::singleShot(0, this, &CDlgTransfer::NextPhase);
            return;
        }
    }
    if (phase_ == Phase::Verify) {
        // The image holds what was sent, the new time stamp included.
        const ImageDifference difference =
            CompareRanges(transfer_.SentImage(), read_->Buffer(),
                          VerifyRanges(changedOnly_ && changedOnly_->isChecked(), written_.written,
                                       s.IsServiceLevel()));
        if (!difference.Equal()) {
            Fail(withRestore(ToQ(DifferenceText(difference))));
            return;
        }
        result_ = written_;
    }
    running_ = false;
    const QString text = MessageOf(result_);
    Log(text);
    Prompt().Show(this, text, IconOf(result_));
    done(QDialog::Accepted);
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
        dialog.Transfer().CommitWrite();
        shell.ReloadAllViews();  // the radio information shows the new programming time
    }
    shell.RefreshStatusBar();
    return accepted;
}

}  // namespace rv
