#include "cli/CliLink.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/Settings.h"
#include "base/TextFormat.h"

namespace rv::cli {

namespace {

constexpr int kBarWidth = 40;

}  // namespace

CliProgress::CliProgress() : terminal_(isatty(STDERR_FILENO) != 0) {}

void CliProgress::OnTransferProgress(TransferDirection direction, int percent)
{
    if (!terminal_ || percent == shown_) return;
    shown_ = percent;
    const int text = direction == TransferDirection::Read ? LinkText::kReadProgress
                                                          : LinkText::kWriteProgress;
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

bool RunTransfer(CTransfer& transfer, const std::string& port)
{
    LinkResult result = transfer.Connect(port);
    if (result.Ok()) {
        CliProgress progress;
        result = transfer.Run(progress);
    }
    if (result.Ok()) return true;
    ReportText(result.message, result.Text());
    return false;
}

}  // namespace rv::cli
