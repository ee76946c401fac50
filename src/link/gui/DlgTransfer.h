#pragma once
// The transfer screen of Read from Radio and Write to Radio. OK connects to the radio on the UI
// thread (wait cursor), then a worker thread moves the blocks. The worker reports through the
// observer interfaces of the transfer and the write session; each call becomes a blocking
// queued signal, so the screen updates its progress and shows the result on the UI thread while
// the worker waits. A write is one session on the port (backup, write, verify), and the screen
// shows each of its steps with its own label, bar and block count. Cancel during a transfer
// stops it after the block under way: the radio is put back to mode 1 and the port closed; a
// stopped read changes nothing, a stopped write says what the radio now holds and how to put it
// back.

#include <QDialog>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "link/Transfer.h"
#include "link/WriteSession.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace rv {

class CQTXDoc;
class IMainShell;

/// Interface texts of the transfer screen beyond those of the link.
struct TransferText {
    static constexpr int kInstruction = 1610;      ///< what to do before pressing OK
    static constexpr int kSearching = 1611;        ///< while the radio is looked for
    static constexpr int kConnected = 1612;        ///< log: radio (%s name) found on (%s device)
    static constexpr int kReady = 1613;            ///< status before OK
    static constexpr int kRunning = 1614;          ///< what not to do while the blocks move
    static constexpr int kBackupProgress = 39650;  ///< status while backing up (%d percent)
    static constexpr int kVerifyProgress = 39651;  ///< status while verifying (%d percent)
    static constexpr int kSafeWrite = 39652;       ///< check box: back up first, verify after
    static constexpr int kCancelTip = 40250;       ///< tool tip of Cancel while the blocks move
    static constexpr int kStopping = 40251;        ///< status after Cancel, until the block ends
    static constexpr int kStepBackup = 41000;      ///< the step names (backup, write, verify)
    static constexpr int kStepWrite = 41001;
    static constexpr int kStepVerify = 41002;
    static constexpr int kBlocksOf = 41003;        ///< a step's blocks (%d done, %d of them)
    static constexpr int kAllBlocks = 41004;       ///< check box: send every block
    static constexpr int kStepSkipped = 41005;     ///< a step that does not run
    static constexpr int kStepWaiting = 41006;     ///< a step that has not begun
    static constexpr int kStepDone = 41007;        ///< a step that has ended
};

/// Messages of the transfer screen beyond those of the link (language keys S01nnnnn).
struct TransferMessage {
    static constexpr int kBackupCancelled = 1740;  ///< Cancel during the backup: nothing sent
    static constexpr int kVerifyCancelled = 1741;  ///< Cancel during the verify: written
    /// Restore Backup: the radio has another serial number (%s backup's, %s radio's); go on?
    static constexpr int kAskOtherRadio = 3029;
};

class CDlgTransfer : public QDialog, private ITransferObserver, private IWriteSessionObserver {
    Q_OBJECT
public:
    /// A screen for one transfer; shell (may be null) receives the log lines.
    CDlgTransfer(TransferDirection direction, IMainShell* shell, QWidget* parent = nullptr);
    /// Waits for the worker when it is still finishing.
    ~CDlgTransfer() override;

    /// What OK does: connect and check the radio, then start the worker. When no radio is
    /// found the screen stays open; any other failure closes it with Cancel.
    void Start();
    /// True while the worker runs.
    bool Running() const { return running_; }
    /// True after Cancel asked the running transfer to stop.
    bool StopRequested() const { return stop_.load(); }
    /// Waits until the worker thread has returned (after the screen closed).
    void WaitForWorker();
    /// The transfer of a read (its buffer, identity and commit steps).
    CTransfer& Transfer() { return transfer_; }
    /// After a write that went through: the radio information block takes the new time stamp
    /// (a restore leaves the document as it is).
    void CommitWrite();
    /// True when the write itself went through (whatever the verify found).
    bool WriteSucceeded() const { return writeSucceeded_; }
    /// The backup file taken before the write; "" when none was.
    const std::string& BackupPath() const { return backupPath_; }
    /// The backup-and-verify check box (write only; null for a read).
    QCheckBox* SafeWriteBox() const { return safeWrite_; }
    /// The every-block check box (write only; null for a read).
    QCheckBox* AllBlocksBox() const { return allBlocks_; }
    /// Restore Backup: a write sends image, a backup's own bytes, as they are (named sourceFile
    /// in the comment of the backup taken first) instead of the document's memory image; it
    /// always takes a backup first and verifies. image must outlive the screen.
    void SendImage(Image& image, const std::string& sourceFile);
    /// How the connection or the transfer ended (a write: the result of its last transfer).
    const LinkResult& Result() const { return result_; }
    /// How a write session ended (after a write).
    const WriteSessionResult& SessionResult() const { return session_; }

    /// The bar and the status line of a read; of a write, those of the write step.
    QProgressBar* ProgressBar() const { return progress_; }
    QLabel* StatusLabel() const { return status_; }
    /// A write step's label, bar and block count (null for a read).
    QLabel* StepLabel(WriteStep step) const { return steps_[Index(step)].label; }
    QProgressBar* StepBar(WriteStep step) const { return steps_[Index(step)].bar; }
    QLabel* StepCount(WriteStep step) const { return steps_[Index(step)].count; }
    /// The label of the step under way (a read: the status line).
    QLabel* CurrentLabel() const;
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

signals:
    /// Emitted by the worker after every block (blocking queued).
    void progressReported(int percent);
    /// Emitted by the worker after every block of a write session's step (blocking queued).
    void stepReported(int step, int done, int total);
    /// Emitted by the worker when a step of a write session saved its backup (blocking queued).
    void backupReported(QString path);
    /// Emitted by the worker once at its end (blocking queued); the result is in Result().
    void transferEnded();
    /// Emitted on the UI thread after the screen showed a block's progress (percent of the
    /// step under way).
    void progressShown(int percent);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // ITransferObserver (a read), called on the worker thread.
    void OnTransferProgress(TransferDirection direction, int percent) override;
    void OnTransferFinished(TransferDirection direction, const LinkResult& result) override;
    // IWriteSessionObserver (a write), called on the worker thread.
    void OnStepStarted(WriteStep step, size_t total) override;
    void OnStepProgress(WriteStep step, size_t done, size_t total) override;
    void OnBackupSaved(const std::string& path) override;
    bool ConfirmOtherRadio(const std::string& backupSerial,
                           const std::string& radioSerial) override;

    static size_t Index(WriteStep step) { return static_cast<size_t>(step); }
    /// Connects and starts the worker of a read; false after a failure.
    bool StartRead();
    /// Opens the session's port and starts the worker of a write; false after a failure.
    bool StartWrite();
    /// Readies the screen for the worker and starts it.
    void Launch(std::function<void()> work);
    void ShowProgress(int percent);
    /// A write step's label, bar and count for done of total blocks.
    void ShowStep(int step, int done, int total);
    /// The step rows before a write: waiting, or skipped when turned off.
    void ResetSteps();
    void EndTransfer();
    void EndWrite();
    /// Shows a failure of the connection and logs it.
    void ReportFailure(const LinkResult& result);
    /// Cancel while the blocks move: asks the worker to stop after the block under way.
    void RequestStop();
    void Log(const QString& result);
    QString Operation() const;

    struct StepRow {
        QLabel* label = nullptr;
        QProgressBar* bar = nullptr;
        QLabel* count = nullptr;
    };

    TransferDirection direction_;
    IMainShell* shell_;
    CTransfer transfer_;  // a read
    LinkResult result_;
    CWriteSession writeSession_;  // a write: its port, held from OK to the end
    WriteSessionOptions options_;
    WriteSessionResult session_;
    Image* image_ = nullptr;  // what a write sends; null: the document's memory image
    bool restore_ = false;
    int currentStep_ = -1;  // the write step under way
    bool writeSucceeded_ = false;
    std::string backupPath_;
    std::thread worker_;
    bool running_ = false;
    std::atomic<bool> stop_{false};  // looked at by the worker after every block
    QLabel* instruction_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QCheckBox* safeWrite_ = nullptr;
    QCheckBox* allBlocks_ = nullptr;
    StepRow steps_[kWriteStepCount];
    std::string sourceFile_;  // what is written, when it is not the document
};

/// Read from Radio on a given document: on success the views are closed, the radio's
/// identity and memory replace the data, the document has no file and the window is rebuilt.
bool RunReadFromRadio(IMainShell& shell, CQTXDoc& document);

}  // namespace rv
