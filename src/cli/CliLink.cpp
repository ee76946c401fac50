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
