// Export Channels and Import Channels of the File menu: the preview's Apply changes the
// channels exactly as the command-line import does, Cancel and a refused file change nothing,
// and export writes the channel table of the core.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "base/CommandIds.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelCsv.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/gui/DlgChannelImport.h"
#include "gui/GuiTestSupport.h"
#include "shell/ExchangeCommands.h"
#include "ui/NavigationBar.h"
#include "ui/QtText.h"

extern char** environ;

namespace rv {
namespace {

using test::GuiTest;

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path)
{
    const std::vector<unsigned char> bytes = test::ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

/// Runs the built rvcps-cli; its exit status (-1 when it did not run).
int RunCli(const std::vector<std::string>& args)
{
    const std::string cli = RV_BIN_DIR "/rvcps-cli";
    std::vector<char*> argv{const_cast<char*>(cli.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (const char* log = std::getenv("RV_CLI_LOG"))
        posix_spawn_file_actions_addopen(&actions, 2, log, O_WRONLY | O_CREAT, 0644);
    else
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (rc != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

/// The exported channel table with a name and two frequencies edited as in a spreadsheet: row 2
/// renamed and lowered onto the step raster, row 3 clamped to the band.
std::string EditedPlan()
{
    const QString exported = QString::fromStdString(ChannelsToCsv(Radio(), Settings()));
    const QString eol =
        exported.contains(QStringLiteral("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QStringList lines = exported.split(eol);
    EXPECT_GE(lines.size(), 3);
    QStringList first = lines[1].split(QLatin1Char(','));
    first[1] = QStringLiteral("\"Hill, \"\"east\"\"\"");
    first[2] = QStringLiteral("433.5034");
    lines[1] = first.join(QLatin1Char(','));
    QStringList second = lines[2].split(QLatin1Char(','));
    second[2] = QStringLiteral("500");
    lines[2] = second.join(QLatin1Char(','));
    return lines.join(eol).toStdString();
}

class ChannelExchangeTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        start = home.Path("start.dat");
        ASSERT_TRUE(frame->Document().SaveTo(start, "").Ok());
    }
    void TearDown() override
    {
        SetImportPreviewRunner({});
        SetCsvPathChooser({});
        GuiTest::TearDown();
    }
    /// Imports csv through the command, pressing button of the preview; what it showed.
    bool ImportPressing(const std::string& csv, QPushButton* (CDlgChannelImport::*button)() const)
    {
        const std::string path = home.Path("plan.csv");
        WriteText(path, csv);
        SetCsvPathChooser([path](QWidget*, bool save) -> std::optional<QString> {
            EXPECT_FALSE(save);
            return QString::fromStdString(path);
        });
        SetImportPreviewRunner([this, button](CDlgChannelImport& dialog) {
            dialog.show();
            if (storeFitted) dialog.FitBox()->setChecked(true);
            if (prepare) prepare(dialog);
            for (int r = 0; r < dialog.Rows()->rowCount(); ++r)
                ticked.push_back(dialog.Rows()->item(r, CDlgChannelImport::Take)->checkState() ==
                                 Qt::Checked);
            applyEnabled = dialog.ApplyButton()->isEnabled();
            summary = dialog.Summary()->text();
            for (int r = 0; r < dialog.Table()->rowCount(); ++r)
                rows.push_back(dialog.Table()->item(r, 1)->text());
            (dialog.*button)()->click();
            return dialog.result();
        });
        frame->RunCommand(Id(Command::ImportChannels));
        return applyEnabled;
    }
    std::string start;
    bool storeFitted = false;
    std::function<void(CDlgChannelImport&)> prepare;
    std::vector<bool> ticked;
    bool applyEnabled = false;
    QString summary;
    std::vector<QString> rows;
};

TEST_F(ChannelExchangeTest, ApplyChangesTheChannelsAsTheCommandLineImportDoes)
{
    const std::string csv = home.Path("plan.csv");
    const std::string byCli = home.Path("cli.dat");
    const std::string plan = EditedPlan();
    WriteText(csv, plan);
    ASSERT_EQ(RunCli({"--home", home.Dir(), "import", start, "--csv", csv, "--fit", "-o", byCli}),
              0);

    // The two edited rows fit only when fitted values are stored: that choice ticks them.
    storeFitted = true;
    EXPECT_TRUE(ImportPressing(plan, &CDlgChannelImport::ApplyButton));
    EXPECT_EQ(std::count(ticked.begin(), ticked.end(), true), 16);
    // Every value the channel rules fitted is listed with its row.
    ASSERT_GE(rows.size(), 2u);
    EXPECT_TRUE(rows[0].contains(QStringLiteral("433.50250"))) << rows[0].toStdString();
    EXPECT_TRUE(rows.back().contains(QStringLiteral("470.00000"))) << rows.back().toStdString();
    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_EQ(Radio().ChannelAlias(Radio().Channels()[0]->id_), "Hill, \"east\"");

    const std::string byGui = home.Path("gui.dat");
    ASSERT_TRUE(frame->Document().SaveTo(byGui, "").Ok());
    EXPECT_EQ(test::ReadBytes(byGui), test::ReadBytes(byCli));
}

TEST_F(ChannelExchangeTest, FewerRowsThanChannelsListTheMendedReferencesAndSaveAsTheCommandLine)
{
    // The header and the first three channels: the scan lists lose the rest.
    const std::string exported = ChannelsToCsv(Radio(), Settings());
    size_t end = 0;
    for (int line = 0; line < 4; ++line) end = exported.find('\n', end) + 1;
    const std::string plan = exported.substr(0, end);
    const std::string csv = home.Path("three.csv");
    const std::string byCli = home.Path("cli.dat");
    WriteText(csv, plan);
    ASSERT_EQ(RunCli({"--home", home.Dir(), "import", start, "--csv", csv, "-o", byCli}), 0);

    EXPECT_TRUE(ImportPressing(plan, &CDlgChannelImport::ApplyButton));
    const QString member4 =
        QString::fromStdString(Settings().LoadMessage(CsvMessage::kMemberCut, {"1", "4", "4"}));
    EXPECT_NE(std::find(rows.begin(), rows.end(), member4), rows.end());
    ASSERT_EQ(Radio().Channels().size(), 3u);
    EXPECT_FALSE(Radio().ValidateAll());

    const std::string byGui = home.Path("gui.dat");
    ASSERT_TRUE(frame->Document().SaveTo(byGui, "").Ok());
    EXPECT_EQ(test::ReadBytes(byGui), test::ReadBytes(byCli));
}

TEST_F(ChannelExchangeTest, CancelAndARefusedFileChangeNothing)
{
    const auto before = Radio().MemoryMap().PackedImage(true);
    const size_t channels = Radio().Channels().size();

    EXPECT_TRUE(ImportPressing(EditedPlan(), &CDlgChannelImport::CancelButton));
    EXPECT_EQ(Radio().MemoryMap().PackedImage(true), before);
    EXPECT_FALSE(frame->Document().IsModified());

    // A file that is not CSV: Apply cannot be pressed and the dialog says nothing can be
    // applied.
    rows.clear();
    EXPECT_FALSE(ImportPressing("Location,Name,Frequency\n1,\"open,440\n",
                                &CDlgChannelImport::CancelButton));
    EXPECT_TRUE(summary.contains(QStringLiteral("nothing can be applied")))
        << summary.toStdString();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].toStdString(), CsvNoteText(CsvNote(CsvMessage::kUnclosedQuote, {"2"})));
    EXPECT_EQ(Radio().MemoryMap().PackedImage(true), before);
    EXPECT_EQ(Radio().Channels().size(), channels);
}

TEST_F(ChannelExchangeTest, RowsThatDoNotFitAreGreyedWithTheReasonAndTheTickedOnesImported)
{
    // 25 rows of a CHIRP stock list: Location 0 and 20 lie outside the band, 19 is USB.
    std::vector<std::pair<QString, bool>> reasons;  // reason text, enabled
    prepare = [&](CDlgChannelImport& dialog) {
        QTableWidget* list = dialog.Rows();
        ASSERT_EQ(list->rowCount(), 25);
        for (int r = 0; r < list->rowCount(); ++r)
            reasons.emplace_back(list->item(r, CDlgChannelImport::Reason)->text(),
                                 (list->item(r, CDlgChannelImport::Take)->flags() &
                                  Qt::ItemIsEnabled) != 0);
        EXPECT_FALSE(list->accessibleName().isEmpty());
        // A seventeenth tick is more than the radio holds: nothing can be applied.
        list->item(24, CDlgChannelImport::Take)->setCheckState(Qt::Checked);
        EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
        EXPECT_TRUE(dialog.Table()->item(0, 1)->text().contains(QStringLiteral("--rows")));
        list->item(24, CDlgChannelImport::Take)->setCheckState(Qt::Unchecked);
        EXPECT_TRUE(dialog.ApplyButton()->isEnabled());
    };
    const std::vector<unsigned char> file =
        test::ReadBytes(RV_RESOURCE_DIR "/../tests/fixtures/interop/chirp-24-rows.csv");
    EXPECT_TRUE(ImportPressing(std::string(file.begin(), file.end()),
                               &CDlgChannelImport::ApplyButton));
    ASSERT_EQ(reasons.size(), 25u);
    EXPECT_FALSE(reasons[0].second);
    EXPECT_TRUE(reasons[0].first.contains(QStringLiteral("146.01000 MHz is outside")))
        << reasons[0].first.toStdString();
    EXPECT_FALSE(reasons[19].second);
    EXPECT_TRUE(reasons[19].first.contains(QStringLiteral("USB")));
    EXPECT_TRUE(reasons[1].second);
    EXPECT_TRUE(reasons[1].first.isEmpty());
    // The first sixteen rows that fit (Locations 1 to 16) were ticked and imported.
    EXPECT_EQ(std::vector<bool>(ticked.begin(), ticked.begin() + 18),
              (std::vector<bool>{false, true, true, true, true, true, true, true, true, true,
                                 true, true, true, true, true, true, true, false}));
    ASSERT_EQ(Radio().Channels().size(), 16u);
    EXPECT_EQ(Radio().ChannelAlias(Radio().Channels()[0]->id_), "CH01");
    EXPECT_EQ(Radio().ChannelAlias(Radio().Channels()[15]->id_), "CH16");
}

TEST_F(ChannelExchangeTest, PreviewGivesTheFilesLinesCountsAgreeAndTheRecordBarFollows)
{
    // The channel window is open on 16 channels while two rows are imported.
    ASSERT_NE(frame->OpenView(Id(Command::Channel)), nullptr);
    std::vector<QString> lines;
    prepare = [&lines](CDlgChannelImport& dialog) {
        for (int r = 0; r < dialog.Rows()->rowCount(); ++r)
            lines.push_back(dialog.Rows()->item(r, CDlgChannelImport::Line)->text());
    };
    // A comment over two lines and a blank line: each row is named by the line it begins on.
    const std::string csv =
        "Location,Name,Frequency,Comment\n1,Hill,440.0,\"two\nlines\"\n\n2,Vale,441.0,\n";
    const QString file = QString::fromStdString(home.Path("plan.csv"));
    EXPECT_TRUE(ImportPressing(csv, &CDlgChannelImport::ApplyButton));
    EXPECT_EQ(lines, (std::vector<QString>{QStringLiteral("2"), QStringLiteral("5")}));
    EXPECT_EQ(summary, file + QStringLiteral("\n") +
                           UiText(CDlgChannelImport::kSummaryOk, "").arg(2).arg(2));
    auto* bar = frame->findChild<CNavigationBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->NumberField()->maximum(), 2) << "the record bar counts the imported rows";

    // One value fitted, one problem: the singular texts.
    storeFitted = true;
    EXPECT_TRUE(ImportPressing("Location,Frequency\n1,433.5034\n",
                               &CDlgChannelImport::CancelButton));
    EXPECT_EQ(summary, file + QStringLiteral("\n") +
                           UiText(CDlgChannelImport::kSummaryOkOneChange, "").arg(1).arg(1));
    EXPECT_FALSE(ImportPressing("Location,Frequency\n1,440\n1,441\n",
                                &CDlgChannelImport::CancelButton));
    EXPECT_EQ(summary,
              file + QStringLiteral("\n") + UiText(CDlgChannelImport::kSummaryRefusedOne, ""));
}

TEST_F(ChannelExchangeTest, ExportWritesTheChannelTableAndNamesAFailure)
{
    const std::string out = home.Path("channels.csv");
    SetCsvPathChooser([out](QWidget*, bool save) -> std::optional<QString> {
        EXPECT_TRUE(save);
        return QString::fromStdString(out);
    });
    frame->RunCommand(Id(Command::ExportChannels));
    EXPECT_EQ(ReadText(out), ChannelsToCsv(Radio(), Settings()));
    EXPECT_TRUE(prompt.shown.empty());

    // A folder that does not exist: the message names the file and nothing is left behind.
    const std::string nowhere = home.Path("missing/channels.csv");
    EXPECT_FALSE(ExportChannelsTo(*frame, QString::fromStdString(nowhere)));
    EXPECT_TRUE(prompt.Saw(ExchangeMessage::kNotWritten));
    EXPECT_FALSE(std::filesystem::exists(home.Path("missing")));
}

}  // namespace
}  // namespace rv
