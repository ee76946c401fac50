#include "shell/TuningCommands.h"

#include <QApplication>
#include <QProgressDialog>
#include <algorithm>

#include "base/CommandIds.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "link/Transfer.h"
#include "service/TestFreqBlock.h"
#include "service/Tuning.h"
#include "service/gui/DlgBaseBand.h"
#include "service/gui/DlgTuning.h"
#include "ui/GuiCommands.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/ShellRegistry.h"

namespace rv {

namespace {

/// Interface texts of Write Tune Data.
struct TuneDataText {
    static constexpr int kTitle = 40006;
    static constexpr int kProgress = 40007;  ///< (%d percent)
    static constexpr int kQuestion = 1608;   ///< message: write the stored tuning values?
};

// What IdentifyRadio asks of the main window while it connects.
class ShellDocumentUi : public DocumentUi {
public:
    explicit ShellDocumentUi(IMainShell& shell) : shell_(shell) {}
    bool AskYesNo(int, const std::string& text) override
    {
        return Prompt().AskYesNo(shell_.Window(), ToQ(text)) == CPrompt::Answer::Yes;
    }
    void ShowMessage(int, const std::string& text) override
    {
        Prompt().Show(shell_.Window(), ToQ(text), CPrompt::Icon::Warning);
    }
    void CloseAllViews() override { shell_.CloseAllViews(); }
    void Refresh() override { shell_.RefreshAll(); }

private:
    IMainShell& shell_;
};

// Connects in a mode with the wait cursor; reports a failure and returns false.
bool Connect(IMainShell& shell, CRadioProtocol& link, RadioMode mode)
{
    ShellDocumentUi ui(shell);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LinkResult r = IdentifyRadio(link, mode, shell.Document(), ui);
    QApplication::restoreOverrideCursor();
    if (r.Ok()) return true;
    if (r.message) Prompt().Show(shell.Window(), ToQ(r.Text()), CPrompt::Icon::Warning);
    return false;
}

void EndSession(IMainShell& shell, CAdjustment& session)
{
    if (!session.End())
        ShowMessage(shell.Window(), LinkMessage::kEndNotConfirmed, CPrompt::Icon::Warning);
    shell.RefreshAll();
}

}  // namespace

void RunAdjustment(IMainShell& shell)
{
    CRadioProtocol link;
    if (!Connect(shell, link, RadioMode::Adjust)) return;
    CAdjustment session(link, Radio().Tune());
    {
        CDlgTuning screen(session, Radio().TestFreq(), shell.Window());
        screen.exec();
    }
    EndSession(shell, session);
}

void RunBaseBand(IMainShell& shell)
{
    if (!Settings().IsServiceLevel()) return;
    CRadioProtocol link;
    if (!Connect(shell, link, RadioMode::Write)) return;
    CAdjustment session(link, Radio().Tune());
    {
        CDlgBaseBand screen(link, Radio().Tune(), shell.Window());
        screen.exec();
    }
    EndSession(shell, session);
}

void RunWriteTuneData(IMainShell& shell)
{
    if (!Settings().IsServiceLevel()) return;
    if (!AskMessage(shell.Window(), TuneDataText::kQuestion)) return;
    shell.StoreAllViews();
    CRadioProtocol link;
    if (!Connect(shell, link, RadioMode::Write)) return;
    // The tuning record goes into the memory image as Write to Radio would store it.
    const CTuneBlock& block = Radio().Tune();
    std::copy_n(block.Record(), CTuneBlock::kRecordSize,
                Radio().MemoryImage().begin() + CTuneBlock::kImageAddress);

    const QString title = UiText(TuneDataText::kTitle, "Write Tune Data");
    QProgressDialog progress(shell.Window());
    progress.setWindowTitle(title);
    progress.setCancelButton(nullptr);
    progress.setRange(0, 100);
    progress.setMinimumDuration(0);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAccessibleName(title);
    auto report = [&progress](int percent) {
        progress.setLabelText(ToQ(FormatTextNumber(
            TextOr(Settings().LoadText(TuneDataText::kProgress), "Writing the tune data: %d%"),
            percent)));
        progress.setValue(percent);
    };
    report(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const LinkResult r = WriteTuneData(link, block, report);
    QApplication::restoreOverrideCursor();
    progress.reset();
    const QString text = ToQ(r.Text());
    shell.LogEvent(title, text);
    Prompt().Show(shell.Window(), text,
                  r.Ok() ? CPrompt::Icon::Information : CPrompt::Icon::Warning);
}

void RegisterTuningCommands()
{
    RegisterCommand(Id(Command::Adjustment), &RunAdjustment);
    RegisterCommand(Id(Command::BaseBand), &RunBaseBand);
    RegisterCommand(Id(Command::WriteTuneData), &RunWriteTuneData);
}

}  // namespace rv
