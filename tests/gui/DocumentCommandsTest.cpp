// The file commands of the main window: New with its question, Open of files that must be
// refused, Save refused while the invalid log has rows, Save As with a comment and the recent
// files.

#include <gtest/gtest.h>

#include <QAction>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QTreeWidget>
#include <algorithm>
#include <cctype>
#include <fstream>

#include "data/DataFile.h"
#include "data/Document.h"
#include "data/RadioData.h"
#include "editors/personality/PersonalityData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/scan/ScanData.h"
#include "gui/GuiTestSupport.h"
#include "base/CommandIds.h"
#include "ui/InvalidLogPane.h"
#include "ui/LogPane.h"
#include "ui/QtText.h"

namespace rv {
namespace {

class DocumentCommands : public test::GuiTest {};

TEST_F(DocumentCommands, NewAsksOnlyAboutUnsavedChanges)
{
    EXPECT_EQ(prompt.Questions(), 0u);
    frame->OpenView(Id(Command::RadioInformation));
    const QString clean = frame->windowTitle();
    EXPECT_FALSE(clean.startsWith('*'));

    // Nothing changed: New asks nothing.
    frame->RunCommand(Id(Command::New));
    EXPECT_EQ(prompt.Questions(), 0u);

    frame->OpenView(Id(Command::RadioInformation));
    Radio().RadioInfo().SetSerialNumber("KEEP");
    frame->ReloadAllViews();
    frame->UpdateModifiedMark();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("*") + clean) << "the title shows the change";

    prompt.answers = {CPrompt::Answer::No};
    frame->RunCommand(Id(Command::New));
    EXPECT_EQ(prompt.Questions(), 1u);
    EXPECT_TRUE(prompt.Saw(DocMessage::kConfirmDiscard));
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "KEEP");
    EXPECT_NE(frame->FindView(Id(Command::RadioInformation)), nullptr);
    EXPECT_TRUE(frame->windowTitle().startsWith('*'));

    prompt.answers = {CPrompt::Answer::Yes};
    frame->RunCommand(Id(Command::New));
    EXPECT_EQ(prompt.Questions(), 2u);
    EXPECT_EQ(Radio().RadioInfo().SerialNumber(), "----------------");
    EXPECT_EQ(frame->FindView(Id(Command::RadioInformation)), nullptr);
    EXPECT_EQ(frame->windowTitle(), clean) << "a fresh configuration has no mark";
    // Every New is in the log.
    EXPECT_EQ(frame->LogPane()->topLevelItemCount(), 3);
}

TEST_F(DocumentCommands, SavingClearsTheTitleMark)
{
    Radio().RadioInfo().SetSerialNumber("MARK");
    frame->UpdateModifiedMark();
    ASSERT_TRUE(frame->windowTitle().startsWith('*'));

    const std::string path = home.Path("marked.dat");
    files.save = SaveChoice{path, "c"};
    frame->RunCommand(Id(Command::Save));
    EXPECT_FALSE(frame->windowTitle().startsWith('*'));
    EXPECT_TRUE(frame->windowTitle().contains(QString::fromStdString(path)));
}

/// Writes a data file whose header is made from the given values, with a default image.
void WriteDataFile(const std::string& path, const std::string& modelId, const std::string& version)
{
    CDataFile file;
    ASSERT_TRUE(file.SetHeader(CDataFileHeader::Make(modelId, "RV-X", 400, 470, version, 1, 2)));
    std::array<uint8_t, kDataFileImageSize> image{};
    image.fill(0x5A);
    ASSERT_TRUE(file.Write(path, {}, image, "test"));
}

struct BadFileCase {
    const char* what;
    int message;
    std::function<void(const std::string&)> make;
};

class OpenBadFile : public test::GuiTest, public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(OpenBadFile, ShowsTheMessageAndChangesNothing)
{
    const BadFileCase& c = GetParam();
    const std::string path = home.Path("bad.dat");
    c.make(path);
    const Image before = Radio().MemoryImage();
    const QString title = frame->windowTitle();
    const std::string model = Settings().ModelID();

    files.openPath = path;
    frame->RunCommand(Id(Command::Open));
    EXPECT_EQ(files.openCalls, 1);
    EXPECT_TRUE(prompt.Saw(c.message)) << c.what;
    EXPECT_TRUE(Radio().MemoryImage() == before) << c.what;
    EXPECT_EQ(frame->windowTitle(), title) << c.what;
    EXPECT_EQ(frame->Document().Path(), "") << c.what;
    EXPECT_EQ(Settings().ModelID(), model) << c.what;
    for (const std::string& recent : CQTXDoc::RecentFiles()) EXPECT_NE(recent, path);
    // The log's row names the file and says in words what failed: the message shown.
    QTreeWidget* log = frame->LogPane();
    ASSERT_GT(log->topLevelItemCount(), 0);
    const QTreeWidgetItem* row = log->topLevelItem(log->topLevelItemCount() - 1);
    ASSERT_FALSE(prompt.shown.empty());
    EXPECT_TRUE(row->text(1).endsWith(QString::fromStdString(" " + path))) << c.what;
    EXPECT_EQ(row->text(2), "Failed: " + prompt.shown.back().text) << c.what;
    EXPECT_FALSE(row->text(2).contains(QString::number(c.message))) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Files, OpenBadFile,
    ::testing::Values(
        BadFileCase{"not a data file", DocMessage::kReadFailed,
                    [](const std::string& p) { std::ofstream(p) << "hello, world"; }},
        BadFileCase{"truncated header", DocMessage::kReadFailed,
                    [](const std::string& p) { std::ofstream(p) << "QTXXH\x10\x10"; }},
        BadFileCase{"unknown model", DocMessage::kUnknownModel,
                    [](const std::string& p) { WriteDataFile(p, "XYZ999", "1.01.16.001"); }},
        BadFileCase{"newer data version", DocMessage::kVersionNewer,
                    [](const std::string& p) { WriteDataFile(p, "RV205", "1.02.00.000"); }}),
    [](const ::testing::TestParamInfo<BadFileCase>& info) {
        std::string name;
        for (char ch : std::string(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
        return name;
    });

TEST_F(DocumentCommands, InvalidEntriesRefuseSaveAndSaveAs)
{
    // A channel refers to a personality that is no longer used.
    ASSERT_FALSE(Radio().Personalities().empty());
    Radio().Personalities().front()->used_ = 0;
    const std::string path = home.Path("refused.dat");
    files.save = SaveChoice{path, "x"};
    frame->InvalidDock()->hide();

    for (Command c : {Command::Save, Command::SaveAs}) {
        prompt.shown.clear();
        frame->RunCommand(Id(c));
        EXPECT_TRUE(prompt.Saw(DocMessage::kInvalidData)) << Id(c);
    }
    EXPECT_EQ(files.saveCalls, 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path)));
    EXPECT_FALSE(frame->InvalidDock()->isHidden()) << "the invalid list is shown";
    EXPECT_GT(frame->InvalidPane()->topLevelItemCount(), 0);
    EXPECT_EQ(frame->InvalidPane()->topLevelItemCount(),
              static_cast<int>(Radio().InvalidLog().Rows().size()));

    // Mended, the save goes through and the list empties.
    Radio().Personalities().front()->used_ = 1;
    frame->RunCommand(Id(Command::Save));
    EXPECT_EQ(files.saveCalls, 1);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(path)));
    EXPECT_EQ(frame->InvalidPane()->topLevelItemCount(), 0);
}

// A file whose scan list names channels that do not exist: Open lists them at once (the list
// shown, the log saying so), not only when Save refuses the file later.
TEST_F(DocumentCommands, OpenListsTheInvalidEntriesOfTheFileAndSaysSo)
{
    const std::string path = home.Path("dangling.dat");
    ASSERT_TRUE(frame->Document().SaveTo(path, "").Ok());
    const Image image = Radio().MemoryMap().PackedImage(false);
    std::vector<unsigned char> bytes = test::ReadBytes(path);
    const auto at = std::search(bytes.begin(), bytes.end(), image.begin(), image.end());
    ASSERT_NE(at, bytes.end()) << "the file holds the image as it is";
    // Scan list 1: two entries, both channel 40 (a radio has at most 16).
    const size_t list = CScanData::kImageAddress;
    at[list + CScanData::Offset::Entries] = 2;
    at[list + CScanData::Offset::Members] = 40;
    at[list + CScanData::Offset::Members + 1] = 40;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    frame->RunCommand(Id(Command::New));
    frame->InvalidDock()->hide();
    ASSERT_TRUE(Radio().InvalidLog().Empty());
    files.openPath = path;
    frame->RunCommand(Id(Command::Open));
    EXPECT_EQ(frame->Document().Path(), path);
    EXPECT_EQ(Radio().InvalidLog().Rows().size(), 2u);
    EXPECT_EQ(frame->InvalidPane()->topLevelItemCount(), 2);
    EXPECT_FALSE(frame->InvalidDock()->isHidden()) << "the invalid list is shown";
    QTreeWidget* log = frame->LogPane();
    ASSERT_GE(log->topLevelItemCount(), 2);
    const QString last = log->topLevelItem(log->topLevelItemCount() - 1)->text(2);
    EXPECT_TRUE(last.startsWith(QStringLiteral("2 entries"))) << last.toStdString();

    // A file without such entries leaves the list empty and logs only its result.
    const int rows = log->topLevelItemCount();
    files.openPath = home.Path("clean.dat");
    frame->RunCommand(Id(Command::New));
    ASSERT_TRUE(frame->Document().SaveTo(*files.openPath, "").Ok());
    frame->RunCommand(Id(Command::Open));
    EXPECT_TRUE(Radio().InvalidLog().Empty());
    EXPECT_EQ(log->topLevelItemCount(), rows + 2);  // New and Open, nothing more
}

TEST_F(DocumentCommands, SaveAsKeepsTheCommentAndTheRecentFileReopens)
{
    const std::string path = home.Path("saved.dat");
    files.save = SaveChoice{path, "abc"};
    frame->RunCommand(Id(Command::SaveAs));
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(path)));
    EXPECT_EQ(CDataFile::ReadComment(path), "abc");
    EXPECT_TRUE(frame->windowTitle().contains(QString::fromStdString(path)));
    EXPECT_EQ(files.lastHeader.ModelId(), Settings().ModelID());

    // Save writes to the same file and keeps its comment, without a dialog.
    frame->RunCommand(Id(Command::Save));
    EXPECT_EQ(files.saveCalls, 1);
    EXPECT_EQ(CDataFile::ReadComment(path), "abc");

    QAction* recent = frame->Action(Id(Command::RecentFile1));
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->text().contains(QString::fromStdString(path)));
    EXPECT_TRUE(recent->isEnabled());

    prompt.answers = {CPrompt::Answer::Yes};
    frame->RunCommand(Id(Command::New));
    EXPECT_FALSE(frame->windowTitle().contains(QString::fromStdString(path)));
    frame->RunCommand(Id(Command::RecentFile1));
    EXPECT_EQ(frame->Document().Path(), path);
    EXPECT_TRUE(frame->windowTitle().contains(QString::fromStdString(path)));
}

TEST_F(DocumentCommands, OpenDialogPreviewsTheSelectedFile)
{
    const std::string good = home.Path("good.dat");
    WriteDataFile(good, "RV205", "1.01.16.001");
    const std::string bad = home.Path("bad.dat");
    std::ofstream(bad) << "not a data file";

    CDlgFileHeader dialog(CDlgFileHeader::Mode::Open);
    auto label = [&](const char* what) {
        // The panel's values, in the order Model ID, Model Name, Range ...
        QList<QLabel*> all = dialog.findChildren<QLabel*>();
        for (QLabel* l : all)
            if (l->text() == what) return true;
        return false;
    };
    dialog.ShowFileHeader(QString::fromStdString(good));
    EXPECT_TRUE(label("RV205"));
    EXPECT_TRUE(label("RV-X"));
    EXPECT_TRUE(label("400-470 MHz"));
    EXPECT_EQ(dialog.Comment(), "test");

    dialog.ShowFileHeader(QString::fromStdString(bad));
    EXPECT_FALSE(label("RV205"));
    EXPECT_EQ(dialog.Comment(), "");
    EXPECT_TRUE(label(Settings().LoadText(ShellText::kNotADataFile).c_str()));
}

TEST_F(DocumentCommands, CancelledDialogsChangeNothing)
{
    frame->RunCommand(Id(Command::Open));
    frame->RunCommand(Id(Command::SaveAs));
    EXPECT_EQ(files.openCalls, 1);
    EXPECT_EQ(files.saveCalls, 1);
    EXPECT_EQ(frame->Document().Path(), "");
    EXPECT_TRUE(prompt.shown.empty());
}

}  // namespace
}  // namespace rv
