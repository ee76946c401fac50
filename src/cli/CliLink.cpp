#include "cli/CliLink.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "base/Settings.h"
#include "base/TextFormat.h"

namespace rv::cli {

namespace {

constexpr int kBarWidth = 40;

// Set by the signals that ask a transfer to stop; read by the transfer between its blocks.
std::atomic<bool> gStopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void OnStopSignal(int)
{
    gStopRequested.store(true);
}

/// Catches Ctrl-C, SIGTERM and SIGHUP while it lives; the dispositions before it come back.
/// Nested ones leave the flag and the outer dispositions as they are.
class StopSignals {
public:
    StopSignals()
    {
        if (depth_++ > 0) return;
        gStopRequested.store(false);
        struct sigaction action {};
        action.sa_handler = &OnStopSignal;
        sigemptyset(&action.sa_mask);
        // No SA_RESTART needed: every wait of the link takes an interruption and goes on.
        for (size_t i = 0; i < std::size(kSignals); ++i)
            sigaction(kSignals[i], &action, &previous_[i]);
    }
    ~StopSignals()
    {
        if (--depth_ > 0) return;
        for (size_t i = 0; i < std::size(kSignals); ++i)
            sigaction(kSignals[i], &previous_[i], nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    static inline int depth_ = 0;  // the main thread alone installs them
    struct sigaction previous_[std::size(kSignals)]{};
};

std::unique_ptr<StopSignals> gOuterSignals;

}  // namespace

CliStopSignals::CliStopSignals()
{
    gOuterSignals = std::make_unique<StopSignals>();
}

CliStopSignals::~CliStopSignals()
{
    gOuterSignals.reset();
}

const std::atomic<bool>& StopFlag()
{
    return gStopRequested;
}

std::optional<ExitCode> TakePorts(const ParsedArgs& args, std::vector<std::string>& ports)
{
    ports = args.GetAll("--port");
    if (ports.empty()) return UsageError("--port");
    std::set<std::string> seen;
    for (const std::string& port : ports) {
        if (port.empty()) return UsageError("--port");
        if (!seen.insert(port).second) {
            Report(CliLinkMessage::kPortTwice, port);
            return ExitCode::Usage;
        }
    }
    return std::nullopt;
}

CliTraceScope::CliTraceScope(const std::string& path) : path_(path)
{
    if (path_.empty()) return;
    if (!CheckOutputFile(path_)) {
        ok_ = false;
        return;
    }
    trace_ = std::make_unique<CLinkTrace>();
    SetSessionTrace(trace_.get());
}

CliTraceScope::~CliTraceScope()
{
    if (trace_) SetSessionTrace(nullptr);
}

ExitCode CliTraceScope::Finish(ExitCode code)
{
    if (!trace_) return code;
    SetSessionTrace(nullptr);
    if (!trace_->Save(path_)) {
        Report(CliLinkMessage::kTraceNotWritten, path_);
        if (code == ExitCode::Success) code = ExitCode::Failure;
    }
    trace_.reset();
    return code;
}

LinkResult TransferQuietly(CTransfer& transfer, const std::string& port,
                           ITransferObserver& observer)
{
    transfer.SetStopRequest(&gStopRequested);
    LinkResult result = transfer.Connect(port);
    if (result.Ok()) result = transfer.Run(observer);
    transfer.SetStopRequest(nullptr);
    return result;
}

CliProgress::CliProgress() : terminal_(isatty(STDERR_FILENO) != 0) {}

void CliProgress::OnTransferProgress(TransferDirection direction, int percent)
{
    if (!terminal_ || percent == shown_) return;
    shown_ = percent;
    const int text =
        direction == TransferDirection::Read ? LinkText::kReadProgress : LinkText::kWriteProgress;
    std::string label = FormatTextNumber(Settings().LoadText(text), percent);
    if (label.empty()) label = std::to_string(percent);
    const int filled = percent * kBarWidth / 100;
    std::fprintf(stderr, "\r[%s%s] %s%%", std::string(static_cast<size_t>(filled), '#').c_str(),
                 std::string(static_cast<size_t>(kBarWidth - filled), ' ').c_str(), label.c_str());
    std::fflush(stderr);
}

void CliProgress::OnTransferFinished(TransferDirection, const LinkResult&)
{
    if (terminal_ && shown_ >= 0) std::fputc('\n', stderr);
    shown_ = -1;
}

ExitCode RunTransfer(CTransfer& transfer, const std::string& port, int within, LinkResult* outcome)
{
    const StopSignals signals;
    transfer.SetStopRequest(&gStopRequested);
    LinkResult result = transfer.Connect(port);
    if (result.Ok()) {
        CliProgress progress;
        result = transfer.Run(progress);
    }
    transfer.SetStopRequest(nullptr);
    if (outcome) *outcome = result;
    // A transfer that finished before it noticed the request has done all it was asked.
    if (result.Ok()) return ExitCode::Success;
    if (within)
        ReportText(within, Settings().LoadMessage(within, {result.Text()}));
    else
        ReportText(result.message, result.Text());
    return result.status == LinkStatus::Interrupted || gStopRequested.load() ? ExitCode::Interrupted
                                                                             : ExitCode::Failure;
}

}  // namespace rv::cli

namespace rv::cli {

namespace {

/// Draws each step of a write session as a bar with its blocks on stderr when stderr is a
/// terminal; otherwise prints nothing.
class CliSessionProgress : public IWriteSessionObserver {
public:
    explicit CliSessionProgress(bool show) : terminal_(show && isatty(STDERR_FILENO) != 0) {}
    ~CliSessionProgress() override { EndLine(); }
    void OnStepStarted(WriteStep step, size_t total) override
    {
        EndLine();
        OnStepProgress(step, 0, total);
    }
    void OnStepProgress(WriteStep step, size_t done, size_t total) override
    {
        if (!terminal_) return;
        static constexpr int kNames[] = {CliLinkText::kStepBackup, CliLinkText::kStepWrite,
                                         CliLinkText::kStepVerify};
        const CSettings& s = Settings();
        std::string count = s.LoadText(CliLinkText::kBlocksOf);
        count = FormatTextNumber(FormatTextNumber(count, static_cast<long>(done)),
                                 static_cast<long>(total));
        const int filled = total ? static_cast<int>(done * kBarWidth / total) : 0;
        std::fprintf(stderr, "\r%-12s [%s%s] %s",
                     s.LoadText(kNames[static_cast<size_t>(step)]).c_str(),
                     std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(kBarWidth - filled), ' ').c_str(),
                     count.c_str());
        std::fflush(stderr);
        open_ = true;
    }

private:
    void EndLine()
    {
        if (open_) std::fputc('\n', stderr);
        open_ = false;
    }
    bool terminal_;
    bool open_ = false;
};

}  // namespace

void ReportInvalidEntries(const CInvalidLog& log)
{
    for (const CInvalidLog::Row& row : log.Rows())
        std::fprintf(stderr, "  %s\n",
                     Settings().LoadMessage(CliLinkMessage::kInvalidEntry, {row.message, row.name})
                         .c_str());
    std::fflush(stderr);
}

void RadioJob::Out(const std::string& text)
{
    if (immediate_) {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    } else {
        notes_.push_back(text);
    }
}

void RadioJob::Err(int id, const std::string& text)
{
    if (immediate_)
        ReportText(id, text);
    else
        troubles_.push_back(text.empty() ? "#" + std::to_string(id) : text);
}

ExitCode RunSessionJob(RadioJob& job, WriteSessionOptions options, Image& image)
{
    const CSettings& s = Settings();
    if (options.backup || options.restore) {
        std::string tried;
        options.backupFolder = BackupFolder(s.ProgramDir(), HomeGiven(), tried);
        if (options.backupFolder.empty()) {
            job.Err(SafeWriteMessage::kBackupFolderFailed,
                    s.LoadMessage(SafeWriteMessage::kBackupFolderFailed, {tried}));
            return ExitCode::Failure;
        }
    }
    options.stop = &StopFlag();

    struct Observer : CliSessionProgress {
        Observer(RadioJob& job) : CliSessionProgress(job.Immediate()), job_(job) {}
        void OnBackupSaved(const std::string& path) override
        {
            job_.Out(Settings().LoadMessage(SafeWriteMessage::kBackupSaved, {path}));
        }
        RadioJob& job_;
    };
    WriteSessionResult result;
    {
        Observer observer(job);
        result = RunWriteSession(job.Port(), image, options, observer);
    }

    if (result.Ok()) {
        job.Out(WriteSessionText(result, options, true));
        if (options.restore) {
            const bool service = s.IsServiceLevel();
            job.Out(s.LoadMessage(WriteSessionMessage::kRestored,
                                  {StretchListText(WrittenRanges(service))}));
            std::vector<AddressRange> unreached;
            for (const TransferArea& a : kWriteAreas)
                if (a.serviceOnly && !service) unreached.push_back({a.first, a.last});
            if (!unreached.empty())
                job.Out(s.LoadMessage(WriteSessionMessage::kNotReached,
                                      {StretchListText(unreached)}));
        }
        return ExitCode::Success;
    }

    std::string text = WriteSessionText(result, options, true);
    int id = result.message ? result.message : result.link.message;
    // The command line has no Model Information screen: the backup read's range refusal says
    // what to do here.
    if (result.link.status == LinkStatus::BandMismatch) {
        id = CliLinkMessage::kRangeMismatch;
        text = s.LoadMessage(id, {result.link.argument, s.FreqRange()});
    }
    job.Err(id, text);
    // Only a session that sent blocks has changed the radio; then the backup puts it back.
    if (result.radioChanged && !result.backupPath.empty())
        job.Err(SafeWriteMessage::kRestoreHint,
                s.LoadMessage(SafeWriteMessage::kRestoreHint, {result.backupPath}));
    return result.Interrupted() || StopFlag().load() ? ExitCode::Interrupted : ExitCode::Failure;
}

}  // namespace rv::cli
