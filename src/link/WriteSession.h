#pragma once
// One write of a radio as a session on one port, opened and locked once and held for all of its
// steps: the backup read (saved as a data file), the write of the blocks that differ from it,
// and the byte-exact read-back of what was written. Write to Radio, Restore Backup and the
// command line's write and restore all run it; each step makes its own handshake.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "data/RadioData.h"
#include "link/SafeWrite.h"
#include "link/Transfer.h"

namespace rv {

/// The steps of a write session, in order.
enum class WriteStep { Backup = 0, Write = 1, Verify = 2 };
inline constexpr size_t kWriteStepCount = 3;

/// Messages of the write session (language keys S01nnnnn).
struct WriteSessionMessage {
    static constexpr int kWrittenVerified = 3010;  ///< "Written and verified."
    static constexpr int kWrittenNotVerified = 3011;  ///< "Written; not verified (--no-verify)."
    static constexpr int kNoBackup = 3012;          ///< "No backup was taken (--no-backup)."
    static constexpr int kBlocksWritten = 3013;     ///< "%s of %s blocks written."
    /// the verify read failed after the write (%s address, %s cause)
    static constexpr int kVerifyReadFailed = 3014;
    /// the verify read could not connect after the write (%s the connection's message)
    static constexpr int kVerifyConnectFailed = 3015;
    /// stopped after the write, before its verify (%s what the radio holds)
    static constexpr int kStoppedBeforeVerify = 3016;
    /// stopped during the verify (%s what the radio holds)
    static constexpr int kStoppedInVerify = 3017;
    /// stopped after the backup, before anything was written
    static constexpr int kStoppedBeforeWrite = 3018;
    /// the backup is of a radio with another serial number (%s backup's, %s radio's)
    static constexpr int kOtherRadio = 3019;
    /// restored: (%s the stretches written)
    static constexpr int kRestored = 3023;
    /// not restored at this user level (%s the stretches)
    static constexpr int kNotReached = 3024;
    /// what the reference check found in a backup being restored (%s the list)
    static constexpr int kRestoreInvalidNotice = 3025;
    /// the port could not be used: nothing was written (%s the port's message)
    static constexpr int kNothingWritten = 3026;
    /// the same as 3011 and 3012, for the write screen (no command-line options)
    static constexpr int kNotVerifiedScreen = 3027;
    static constexpr int kNoBackupScreen = 3028;
    /// stopped while the backup was read: nothing was sent
    static constexpr int kBackupStopped = 1740;
};

/// What a write session does.
struct WriteSessionOptions {
    bool backup = true;      ///< read the radio into a backup file first
    bool verify = true;      ///< read back what was written and compare it byte for byte
    bool allBlocks = false;  ///< send every block of the plan, not only those that differ
    /// A restore: the image is a backup's, sent as it is (its own time stamp, no adjustments
    /// for older firmware). It always takes a backup of its own first.
    bool restore = false;
    /// A restore to a radio whose serial number differs from the backup's is allowed without
    /// asking.
    bool otherRadio = false;
    std::string backupFolder;  ///< where the backup is saved (made by BackupFolder)
    std::string sourceFile;    ///< what is written, named in the backup's comment
    const std::atomic<bool>* stop = nullptr;  ///< ends the session after the block under way
};

/// Hears the steps of a write session; called on the thread that runs it.
class IWriteSessionObserver {
public:
    virtual ~IWriteSessionObserver() = default;
    /// A step starts moving blocks (total: the blocks it moves).
    virtual void OnStepStarted(WriteStep step, size_t total) { (void)step, (void)total; }
    /// After every block of a step.
    virtual void OnStepProgress(WriteStep step, size_t done, size_t total) = 0;
    /// The backup was saved.
    virtual void OnBackupSaved(const std::string& path) { (void)path; }
    /// A restore to a radio of another serial number: true to go on. Without an answer the
    /// restore is refused.
    virtual bool ConfirmOtherRadio(const std::string& backupSerial, const std::string& radioSerial)
    {
        (void)backupSerial, (void)radioSerial;
        return false;
    }
};

/// How a write session ended.
enum class WriteOutcome {
    Done,           ///< written (and verified when asked)
    BackupFailed,   ///< the backup could not be read or saved: nothing was written
    OtherRadio,     ///< a restore to a radio of another serial number was not allowed
    WriteFailed,    ///< the write failed or was refused (link says what the radio holds)
    VerifyFailed,   ///< the read-back failed
    Mismatch,       ///< the radio does not hold what was sent
    Interrupted,    ///< stopped on request
};

/// The end of a write session, as a value.
struct WriteSessionResult {
    WriteOutcome outcome = WriteOutcome::Done;
    WriteStep step = WriteStep::Backup;  ///< the step the session ended in
    LinkResult link;         ///< the result of the transfer that ended it (or of the write)
    int message = 0;         ///< a message of its own (backup folder or file, other radio)
    std::string argument;    ///< the value of that message
    std::string backupPath;  ///< the backup taken; "" when none
    Image held{};            ///< what the backup read found (when one was taken)
    bool radioChanged = false;  ///< blocks were sent (or may have been)
    bool verified = false;
    size_t blocksSent = 0;   ///< the time stamp included
    size_t planBlocks = 0;   ///< the time stamp included
    std::vector<AddressRange> written;  ///< the stretches acknowledged, the stamp aside
    ImageDifference difference;         ///< what the read-back found (Mismatch)
    bool Ok() const { return outcome == WriteOutcome::Done; }
    bool Interrupted() const { return outcome == WriteOutcome::Interrupted; }
};

/// One write session: the port opened, locked and handshaken once (Open, on the UI thread for
/// the write screen, so that a missing radio keeps the screen open), then the steps (Run, on a
/// worker thread), each with a handshake of its own on the same open port.
class CWriteSession {
public:
    /// Opens the port (a number or a device path, or a search when empty) exclusively and makes
    /// the handshake; on failure no port is open and the result says why.
    LinkResult Open(const std::string& port);
    /// Runs backup, write and verify on the open port, then closes it. image is what is sent;
    /// a write that succeeded leaves the new time stamp in it.
    WriteSessionResult Run(Image& image, const WriteSessionOptions& options,
                           IWriteSessionObserver& observer);
    /// The device the session holds (after Open).
    const std::string& Device() const { return link_.PortName(); }

private:
    /// How long after the opening handshake the first step may go on without one of its own.
    static constexpr std::chrono::milliseconds kGreetingKept{1000};
    CRadioProtocol link_;
    std::string port_;
    IClock::TimePoint openedAt_{};
};

/// Open and Run: the result of a port that could not be opened says that nothing was written.
WriteSessionResult RunWriteSession(const std::string& port, Image& image,
                                   const WriteSessionOptions& options,
                                   IWriteSessionObserver& observer);
/// The result of a session whose port could not be opened (Open's result).
WriteSessionResult NotOpened(const LinkResult& open, const WriteSessionOptions& options);


/// What the session did, in one or more sentences: the failure and what the radio holds, or
/// "2 of 83 blocks written. Written and verified." and what was left out (the command line
/// names its options --no-backup and --no-verify). The backup to put it back is named by the
/// caller (RestoreHint).
std::string WriteSessionText(const WriteSessionResult& result, const WriteSessionOptions& options,
                             bool commandLine);

}  // namespace rv
