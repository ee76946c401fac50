#include "link/WriteSession.h"

#include <utility>

#include "base/Settings.h"
#include "base/TextFormat.h"

namespace rv {

namespace {

/// Passes a transfer's blocks on as the progress of one step of the session.
class StepObserver : public ITransferObserver {
public:
    StepObserver(IWriteSessionObserver& observer, WriteStep step)
        : observer_(observer), step_(step)
    {
    }
    void OnTransferProgress(TransferDirection, int) override {}
    void OnTransferBlocks(TransferDirection, size_t done, size_t total) override
    {
        observer_.OnStepProgress(step_, done, total);
    }
    void OnTransferFinished(TransferDirection, const LinkResult&) override {}

private:
    IWriteSessionObserver& observer_;
    WriteStep step_;
};

bool Stopped(const WriteSessionOptions& options)
{
    return options.stop && options.stop->load();
}

/// Connects and runs one step's transfer over the session's link.
LinkResult RunStep(CTransfer& transfer, CRadioProtocol& link, const std::string& port,
                   const WriteSessionOptions& options, IWriteSessionObserver& observer,
                   WriteStep step, bool greeted)
{
    transfer.UseLink(link, greeted);
    transfer.SetStopRequest(options.stop);
    LinkResult result = transfer.Connect(port);
    if (!result.Ok()) return result;
    observer.OnStepStarted(step, transfer.BlocksToMove());
    StepObserver steps(observer, step);
    return transfer.Run(steps);
}

std::string Message(int id, const std::vector<std::string>& values = {})
{
    return Settings().LoadMessage(id, values);
}

}  // namespace

LinkResult CWriteSession::Open(const std::string& port)
{
    port_ = port;
    int number = 0;
    link_.Close();
    const LinkResult result = FindPort(link_, port, number);
    openedAt_ = link_.Clock().Now();
    return result;
}

WriteSessionResult NotOpened(const LinkResult& open, const WriteSessionOptions& options)
{
    WriteSessionResult result;
    result.link = open;
    const bool backup = options.backup || options.restore;
    result.step = backup ? WriteStep::Backup : WriteStep::Write;
    result.outcome = backup ? WriteOutcome::BackupFailed : WriteOutcome::WriteFailed;
    return result;
}

WriteSessionResult RunWriteSession(const std::string& port, Image& image,
                                   const WriteSessionOptions& options,
                                   IWriteSessionObserver& observer)
{
    CWriteSession session;
    if (LinkResult open = session.Open(port); !open.Ok()) return NotOpened(open, options);
    return session.Run(image, options, observer);
}

WriteSessionResult CWriteSession::Run(Image& image, const WriteSessionOptions& options,
                                      IWriteSessionObserver& observer)
{
    WriteSessionResult result;
    // One port for the whole session: opened and locked by Open until the end, so that no
    // other program can take it between the steps or change the radio behind the backup.
    CRadioProtocol& link = link_;
    const std::string& port = port_;
    const bool backup = options.backup || options.restore;
    if (!link.IsOpen()) return NotOpened(NoRadioResult(PortError::None, port), options);
    // The first step goes on from the handshake that opened the port while the radio still
    // waits for the next command; a later start makes the handshake again.
    bool greeted = link.Clock().Now() - openedAt_ < kGreetingKept;
    auto firstStep = [&greeted] { return std::exchange(greeted, false); };

    if (backup) {
        result.step = WriteStep::Backup;
        CTransfer read(TransferDirection::Read);
        result.link = RunStep(read, link, port, options, observer, WriteStep::Backup, firstStep());
        if (!result.link.Ok()) {
            link.Close();
            result.outcome = result.link.status == LinkStatus::Interrupted
                                 ? WriteOutcome::Interrupted
                                 : WriteOutcome::BackupFailed;
            return result;
        }
        std::string tried;
        result.backupPath = SaveBackup(options.backupFolder, read.Buffer(),
                                       read.Identity().modelName, Settings().FreqRange(),
                                       options.sourceFile, tried);
        if (result.backupPath.empty()) {
            link.Close();
            result.outcome = WriteOutcome::BackupFailed;
            result.message = SafeWriteMessage::kBackupSaveFailed;
            result.argument = tried;
            return result;
        }
        result.held = read.Buffer();
        observer.OnBackupSaved(result.backupPath);
        if (options.restore) {
            const std::string mine = SerialNumberOf(image), radios = SerialNumberOf(result.held);
            if (mine != radios && !options.otherRadio &&
                !observer.ConfirmOtherRadio(mine, radios)) {
                link.Close();
                result.outcome = WriteOutcome::OtherRadio;
                result.message = WriteSessionMessage::kOtherRadio;
                result.argument = mine;
                return result;
            }
        }
        if (Stopped(options)) {
            link.Close();
            result.outcome = WriteOutcome::Interrupted;
            result.message = WriteSessionMessage::kStoppedBeforeWrite;
            return result;
        }
    }

    result.step = WriteStep::Write;
    CTransfer write(TransferDirection::Write);
    write.UseImage(image);
    write.SendAsIs(options.restore);
    if (backup && !options.allBlocks) write.SetHeldImage(&result.held);
    result.link = RunStep(write, link, port, options, observer, WriteStep::Write, firstStep());
    result.blocksSent = write.BlocksSent();
    result.planBlocks = write.PlanBlocks();
    result.written = result.link.written;
    if (!result.link.Ok()) {
        link.Close();
        result.radioChanged = result.link.status == LinkStatus::BlockFailed ||
                              !result.link.written.empty() || result.link.uncertain;
        result.outcome = result.link.status == LinkStatus::Interrupted
                             ? WriteOutcome::Interrupted
                             : WriteOutcome::WriteFailed;
        return result;
    }
    result.radioChanged = true;
    if (!options.verify) {
        link.Close();
        return result;
    }
    // A signal that came while the last block or the time stamp was under way ends the session
    // here: the radio holds the new configuration, unchecked.
    if (Stopped(options)) {
        link.Close();
        result.outcome = WriteOutcome::Interrupted;
        result.message = WriteSessionMessage::kStoppedBeforeVerify;
        return result;
    }

    // The read-back reads what was written: the blocks sent and the time stamp, nothing else.
    result.step = WriteStep::Verify;
    const LinkResult written = result.link;
    const std::vector<AddressRange> ranges =
        VerifyRanges(true, written.written, Settings().IsServiceLevel());
    CTransfer check(TransferDirection::Read);
    check.SetReadRanges(ranges);
    result.link = RunStep(check, link, port, options, observer, WriteStep::Verify, firstStep());
    link.Close();
    if (!result.link.Ok()) {
        result.outcome = result.link.status == LinkStatus::Interrupted
                             ? WriteOutcome::Interrupted
                             : WriteOutcome::VerifyFailed;
        if (result.outcome == WriteOutcome::Interrupted)
            result.message = WriteSessionMessage::kStoppedInVerify;
        return result;
    }
    result.difference = CompareRanges(image, check.Buffer(), ranges, DifferenceSource::Sent);
    if (!result.difference.Equal()) {
        result.outcome = WriteOutcome::Mismatch;
        return result;
    }
    result.link = written;
    result.verified = true;
    return result;
}

std::string WriteSessionText(const WriteSessionResult& result, const WriteSessionOptions& options,
                             bool commandLine)
{
    auto holdsText = [&result]() {
        // The whole write went through: every stretch sent holds the new configuration.
        std::vector<AddressRange> all = result.written;
        all.push_back({kStampBlock.address,
                       static_cast<uint16_t>(kStampBlock.address + kStampBlock.count - 1)});
        return StretchListText(all);
    };
    switch (result.outcome) {
        case WriteOutcome::Done: {
            std::string text =
                Message(WriteSessionMessage::kBlocksWritten, {std::to_string(result.blocksSent),
                                                              std::to_string(result.planBlocks)});
            // Sentences joined by a space, appended one after the other.
            auto add = [&text](int id) {
                text += ' ';
                text += Message(id);
            };
            add(result.verified   ? WriteSessionMessage::kWrittenVerified
                : commandLine ? WriteSessionMessage::kWrittenNotVerified
                              : WriteSessionMessage::kNotVerifiedScreen);
            if (!options.backup && !options.restore)
                add(commandLine ? WriteSessionMessage::kNoBackup
                                : WriteSessionMessage::kNoBackupScreen);
            return text;
        }
        case WriteOutcome::BackupFailed:
            if (result.message) return Message(result.message, {result.argument});
            return Message(SafeWriteMessage::kBackupReadFailed, {result.link.Text()});
        case WriteOutcome::OtherRadio:
            return Message(result.message, {result.argument, SerialNumberOf(result.held)});
        case WriteOutcome::WriteFailed:
            if (result.link.status == LinkStatus::NoRadio && !result.radioChanged)
                return Message(WriteSessionMessage::kNothingWritten, {result.link.Text()});
            return result.link.Text();
        case WriteOutcome::VerifyFailed:
            if (result.link.status == LinkStatus::BlockFailed)
                return Message(WriteSessionMessage::kVerifyReadFailed,
                               {AddressText(result.link.number), CauseText(result.link.cause)});
            return Message(WriteSessionMessage::kVerifyConnectFailed, {result.link.Text()});
        case WriteOutcome::Mismatch:
            return DifferenceText(result.difference);
        case WriteOutcome::Interrupted:
            switch (result.step) {
                case WriteStep::Backup:
                    if (result.message) return Message(result.message);
                    return Message(WriteSessionMessage::kBackupStopped);
                case WriteStep::Write:
                    if (result.message) return Message(result.message, {holdsText()});
                    return result.link.Text();
                case WriteStep::Verify:
                    return Message(result.message ? result.message
                                                  : WriteSessionMessage::kStoppedInVerify,
                                   {holdsText()});
            }
            break;
    }
    return {};
}

}  // namespace rv
