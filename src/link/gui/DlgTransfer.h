#pragma once
// The transfer screen of Read from Radio and Write to Radio. OK connects to the radio and
// checks it on the UI thread (wait cursor), then a worker thread moves the blocks. The worker
// reports through the observer interface of the transfer; each call becomes a blocking queued
// signal, so the screen updates its progress bar and shows the result on the UI thread while
// the worker waits. Cancel during a transfer stops it after the block under way: the radio is
// put back to mode 1 and the port closed; a stopped read changes nothing, a stopped write says
// what the radio now holds and how to put it back.

#include <QDialog>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "link/Transfer.h"

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
    static constexpr int kChangedOnly = 40300;     ///< check box: send the changed blocks only
};

/// Messages of the transfer screen beyond those of the link (language keys S01nnnnn).
struct TransferMessage {
    static constexpr int kBackupCancelled = 1740;  ///< Cancel during the backup: nothing sent
    static constexpr int kVerifyCancelled = 1741;  ///< Cancel during the verify: written
};

class CDlgTransfer : public QDialog, private ITransferObserver {
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
    /// The transfer (its buffer, identity and commit steps).
    CTransfer& Transfer() { return transfer_; }
    /// True when the write itself went through (whatever the verify found).
    bool WriteSucceeded() const { return writeSucceeded_; }
    /// The backup file taken before the write; "" when none was.
    const std::string& BackupPath() const { return backupPath_; }
    /// The backup-and-verify check box (write only; null for a read).
    QCheckBox* SafeWriteBox() const { return safeWrite_; }
    /// The changed-blocks-only check box (write only; null for a read).
    QCheckBox* ChangedOnlyBox() const { return changedOnly_; }
    /// A write sends image (a backup being restored, named sourceFile in the comment of the
    /// backup taken first) instead of the document's memory image; it must outlive the screen.
    void SendImage(Image& image, const std::string& sourceFile)
    {
        transfer_.UseImage(image);
        sourceFile_ = sourceFile;
    }
    /// How the connection or the transfer ended.
    const LinkResult& Result() const { return result_; }

    QProgressBar* ProgressBar() const { return progress_; }
    QLabel* StatusLabel() const { return status_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

signals:
    /// Emitted by the worker after every block (blocking queued).
    void progressReported(int percent);
    /// Emitted by the worker once at its end (blocking queued); the result is in Result().
    void transferEnded();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // ITransferObserver, called on the worker thread.
    void OnTransferProgress(TransferDirection direction, int percent) override;
    void OnTransferFinished(TransferDirection direction, const LinkResult& result) override;

    enum class Phase { Backup, Transfer, Verify };
    /// Connects the current phase's transfer and starts the worker; false after a failure.
    bool StartPhase();
    /// After a phase's worker returned: the next phase.
    void NextPhase();
    /// Ends the screen with a failure text (logged and shown).
    void Fail(const QString& text);
    CTransfer& Current();
    void ShowProgress(int percent);
    void EndTransfer();
    /// Shows a failure of the connection and logs it.
    void ReportFailure(const LinkResult& result);
    /// Cancel while the blocks move: asks the worker to stop after the block under way.
    void RequestStop();
    void Log(const QString& result);
    QString Operation() const;

    TransferDirection direction_;
    IMainShell* shell_;
    CTransfer transfer_;
    LinkResult result_;
    std::unique_ptr<CTransfer> read_;  // the backup or verify read of a safe write
    Phase phase_ = Phase::Transfer;
    bool safe_ = false;
    bool writeSucceeded_ = false;
    LinkResult written_;  // the write's own result, shown after a verify that found it equal
    std::string backupFolder_, backupPath_;
    std::thread worker_;
    bool running_ = false;
    std::atomic<bool> stop_{false};  // looked at by the worker after every block
    QLabel* instruction_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QCheckBox* safeWrite_ = nullptr;
    QCheckBox* changedOnly_ = nullptr;
    Image held_{};  // changed blocks only: what the backup read found in the radio
    std::string sourceFile_;  // what is written, when it is not the document
};

/// Read from Radio on a given document: on success the views are closed, the radio's
/// identity and memory replace the data, the document has no file and the window is rebuilt.
bool RunReadFromRadio(IMainShell& shell, CQTXDoc& document);

}  // namespace rv
