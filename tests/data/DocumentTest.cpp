// The document commands: New and its question, the default set with its time stamp, the
// recent-file list, the model change, the window title, and the maintenance board kept in the
// data file.

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "FakeDocumentUi.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/general/MiscBlock.h"
#include "editors/personality/PersonalityData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/radio/TimeStamp.h"
#include "base/IniFile.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::FakeDocumentUi;
using test::HomeTest;

constexpr uint8_t kMarker = 0x0D;  // misc byte 0, a value no default has

class DocumentTest : public HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        ModelCatalog().LoadRangeTable();
        // Default sets made by the build are replaced where a test needs one.
        std::remove(CQTXDoc::DefaultSetPath().c_str());
    }
    static uint8_t& Marker() { return Radio().Misc().Raw()[0]; }
    /// Writes the current data as a data file without going through the document.
    std::string WriteData(const std::string& path, const Image& image)
    {
        CDataFile file;
        EXPECT_TRUE(file.SetHeader(CQTXDoc::BuildHeader()));
        EXPECT_TRUE(file.Write(path, {}, image, "c"));
        return path;
    }
    std::string SavedFile(const std::string& name)
    {
        FakeDocumentUi quiet;
        CQTXDoc writer(quiet);
        EXPECT_TRUE(writer.SaveTo(home.Path(name), "").Ok());
        return home.Path(name);
    }
    FakeDocumentUi ui;
    CQTXDoc doc{ui};
};

TEST_F(DocumentTest, NewAsks800OnlyAboutChanges)
{
    ASSERT_TRUE(doc.New().Ok());
    EXPECT_TRUE(ui.asked.empty());
    ASSERT_TRUE(doc.New().Ok()) << "nothing changed: nothing to ask";
    EXPECT_TRUE(ui.asked.empty());

    Marker() = kMarker;
    ui.answers = {false};
    EXPECT_EQ(doc.New().outcome, DocOutcome::Cancelled);
    EXPECT_EQ(ui.asked, std::vector<int>{800});
    EXPECT_EQ(Marker(), kMarker);

    ui.answers = {true};
    Radio().Personalities().clear();
    Radio().ValidateAll();
    ASSERT_FALSE(Radio().InvalidLog().Empty());
    ASSERT_TRUE(doc.New().Ok());
    EXPECT_EQ(ui.asked, (std::vector<int>{800, 800}));
    EXPECT_NE(Marker(), kMarker);
    EXPECT_TRUE(Radio().InvalidLog().Empty());
    EXPECT_EQ(Radio().Personalities().size(), 1u);
    EXPECT_EQ(Radio().Channels().size(), 16u);
}

TEST_F(DocumentTest, DefaultSetIsLoadedAndStampedNow)
{
    Image image;
    image.fill(0xFF);
    Radio().MemoryMap().StoreToImage(image);
    image[CMiscBlock::kImageAddress] = kMarker;
    std::fill_n(image.begin() + CRadioInfoBlock::kTimeStampAddress, kTimeStampSize, 0);
    WriteData(CQTXDoc::DefaultSetPath(), image);
    EXPECT_EQ(CQTXDoc::DefaultSetPath(), home.Path("RV205400-470DefaultSet.dat"));

    Settings().SetRadioVersion("1.01.20.000");
    const TimeStamp before = CurrentTimeStamp();
    ASSERT_TRUE(doc.LoadDefaultSet(1));
    const TimeStamp after = CurrentTimeStamp();

    EXPECT_EQ(Marker(), kMarker);
    TimeStamp stamp{};
    std::copy_n(Radio().MemoryImage().begin() + CRadioInfoBlock::kTimeStampAddress, kTimeStampSize,
                stamp.begin());
    EXPECT_TRUE(stamp == before || stamp == after);
    EXPECT_TRUE(Radio().RadioInfo().GetTimeStamp() == stamp);
    EXPECT_EQ(Settings().RadioVersion(), kProgramDataVersion);
    EXPECT_EQ(doc.Path(), "");
}

TEST_F(DocumentTest, MissingDefaultSetGivesBuiltInDefaults)
{
    Marker() = kMarker;
    EXPECT_FALSE(doc.LoadDefaultSet(1));
    EXPECT_NE(Marker(), kMarker);
    EXPECT_EQ(Radio().Channels().size(), 16u);
    EXPECT_EQ(ui.title, Settings().LoadText(128));
}

TEST_F(DocumentTest, RecentFilesNewestFirstAtMostFour)
{
    std::vector<std::string> files;
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) {
        files.push_back(SavedFile(name));
        ui.openPath = files.back();
        ASSERT_TRUE(doc.Open().Ok());
    }
    const std::string a = files[0], b = files[1], c = files[2];
    EXPECT_EQ(CQTXDoc::RecentFiles(), (std::vector<std::string>{c, b, a}));

    ASSERT_TRUE(doc.OpenRecent(2).Ok());
    EXPECT_EQ(doc.Path(), a);
    EXPECT_EQ(CQTXDoc::RecentFiles(), (std::vector<std::string>{a, c, b}));

    const std::string d = SavedFile("d.dat"), e = SavedFile("e.dat");
    ui.saveChoice = SaveChoice{d, ""};
    ASSERT_TRUE(doc.SaveAs().Ok());
    ui.openPath = e;
    ASSERT_TRUE(doc.Open().Ok());
    EXPECT_EQ(CQTXDoc::RecentFiles(), (std::vector<std::string>{e, d, a, c}));
    // Kept in Settings.ini.
    CIniFile ini;
    ini.Load(home.Path("Settings.ini"));
    EXPECT_EQ(ini.GetString("Recent File List", "File1"), e);
    EXPECT_EQ(ini.GetString("Recent File List", "File4"), c);
}

TEST_F(DocumentTest, UnreadableRecentFileIsRemovedWith802)
{
    const std::string a = SavedFile("a.dat"), b = SavedFile("b.dat");
    CQTXDoc::AddRecentFile(a);
    CQTXDoc::AddRecentFile(b);
    ASSERT_TRUE(doc.OpenRecent(0).Ok());
    std::remove(a.c_str());

    DocResult r = doc.OpenRecent(1);
    EXPECT_EQ(r.message, 802);
    EXPECT_EQ(ui.shown, std::vector<int>{802});
    EXPECT_NE(ui.messageTexts[0].find("a.dat"), std::string::npos);
    EXPECT_EQ(CQTXDoc::RecentFiles(), std::vector<std::string>{b});
    // The document still is the file whose data it holds.
    EXPECT_EQ(doc.Path(), b);
    EXPECT_EQ(doc.OpenRecent(5).outcome, DocOutcome::Cancelled);
}

TEST_F(DocumentTest, ChangesAreOfferedForSavingBeforeOpenReplacesThem)
{
    const std::string other = SavedFile("other.dat");
    ASSERT_TRUE(doc.New().Ok());
    EXPECT_FALSE(doc.IsModified());
    // An edit undone by hand is no change: what counts is what would be written.
    Marker() = kMarker;
    EXPECT_TRUE(doc.IsModified());
    const uint8_t original = CMiscBlock().Raw()[0];
    Marker() = original;
    EXPECT_FALSE(doc.IsModified());
    ui.openPath = other;

    // Cancel: nothing is opened and the edit stays.
    Marker() = kMarker;
    ui.saveAnswers = {SaveAnswer::Cancel};
    EXPECT_EQ(doc.Open().outcome, DocOutcome::Cancelled);
    EXPECT_EQ(ui.asked, std::vector<int>{DocMessage::kSaveChanges});
    EXPECT_EQ(Marker(), kMarker);
    EXPECT_EQ(doc.Path(), "");

    // Save, but the file cannot be written: nothing is opened either.
    ui.saveAnswers = {SaveAnswer::Save};
    ui.saveChoice = SaveChoice{home.Path("no-such-folder/kept.dat"), ""};
    EXPECT_EQ(doc.Open().outcome, DocOutcome::Cancelled);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back(), DocMessage::kWriteFailed);
    EXPECT_EQ(Marker(), kMarker);
    EXPECT_EQ(doc.Path(), "");

    // Save to a new file, then open: the edit is in the saved file.
    const std::string kept = home.Path("kept.dat");
    ui.saveAnswers = {SaveAnswer::Save};
    ui.saveChoice = SaveChoice{kept, ""};
    ASSERT_TRUE(doc.Open().Ok());
    EXPECT_EQ(doc.Path(), other);
    EXPECT_NE(Marker(), kMarker);
    Image keptImage{};
    ASSERT_TRUE(CDataFile::Read(kept, nullptr, keptImage));
    EXPECT_EQ(keptImage[CMiscBlock::kImageAddress], kMarker);
    EXPECT_FALSE(doc.IsModified()) << "a file just opened holds no changes";

    // Discard: the file opens without saving.
    Marker() = kMarker;
    ui.saveAnswers = {SaveAnswer::Discard};
    ASSERT_TRUE(doc.OpenRecent(0).Ok());
    EXPECT_NE(Marker(), kMarker);
    // No change, no question.
    const size_t questions = ui.asked.size();
    ASSERT_TRUE(doc.OpenRecent(0).Ok());
    EXPECT_EQ(ui.asked.size(), questions);

    // A save clears the change as well.
    Marker() = kMarker;
    ASSERT_TRUE(doc.Save().Ok());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, ModelChange)
{
    doc.New();
    Marker() = kMarker;

    // Another name of the same model: no question, data stay.
    auto [r1, c1] = doc.ChangeModel({"RV205", "RV-205U", "400-470", 2});
    EXPECT_TRUE(r1.Ok());
    EXPECT_EQ(c1, ModelChange::NameOnly);
    EXPECT_EQ(Settings().ModelName(), "RV-205U");
    EXPECT_EQ(Marker(), kMarker);
    EXPECT_TRUE(ui.asked.empty());

    // Signalling alone: asks, and No changes nothing.
    ui.answers = {false};
    auto [r2, c2] = doc.ChangeModel({"RV205", "RV-205U", "400-470", 1});
    EXPECT_EQ(r2.outcome, DocOutcome::Cancelled);
    EXPECT_EQ(c2, ModelChange::Model);
    EXPECT_EQ(Settings().Signal(), 2);
    EXPECT_EQ(Marker(), kMarker);

    // Another model, Yes: the identity is replaced and the data reset.
    ui.answers = {true};
    auto [r3, c3] = doc.ChangeModel({"RV305", "RV-305", "450-520", 1});
    EXPECT_TRUE(r3.Ok());
    EXPECT_EQ(CModelCatalog::CurrentIdentity(), (ModelIdentity{"RV305", "RV-305", "450-520", 1}));
    EXPECT_NE(Marker(), kMarker);
    EXPECT_EQ(ModelCatalog().TableModelId(), "RV305");
    EXPECT_EQ(ModelCatalog().CurrentBandCode(), 5);
    EXPECT_EQ(ui.asked, (std::vector<int>{800, 800}));

    auto [r4, c4] = doc.ChangeModel(CModelCatalog::CurrentIdentity());
    EXPECT_EQ(c4, ModelChange::None);
}

TEST_F(DocumentTest, TitleAndFileFilter)
{
    EXPECT_EQ(doc.Title(), Settings().LoadText(128));
    EXPECT_FALSE(doc.Title().empty());
    const std::string path = SavedFile("t.dat");
    ASSERT_TRUE(doc.OpenPath(path).Ok());
    EXPECT_EQ(doc.Title(), Settings().LoadText(128) + " [ " + path + " ]");
    EXPECT_EQ(ui.title, doc.Title());

    const auto filter = ParseFileFilter(Settings().LoadText(1212));
    ASSERT_FALSE(filter.empty());
    EXPECT_EQ(filter[0].second, "*." + Settings().LoadText(1211));
    EXPECT_EQ(ParseFileFilter("A (*.a)|*.a|B|*.b||"),
              (std::vector<std::pair<std::string, std::string>>{{"A (*.a)", "*.a"}, {"B", "*.b"}}));
}

}  // namespace
}  // namespace rv

namespace rv {
namespace {

/// The maintenance board travels in the data file's extra chunk, never in the image.
class DocumentBoardTest : public test::HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        ModelCatalog().LoadRangeTable();
        doc.New();
    }
    /// The bytes of a data file.
    static std::vector<uint8_t> FileBytes(const std::string& path)
    {
        std::vector<uint8_t> bytes;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
            std::fclose(f);
        }
        return bytes;
    }
    /// A data file of the current data with the given extra chunk.
    std::string FileWithExtra(const std::string& name, const std::vector<uint8_t>& extra)
    {
        CDataFile file;
        EXPECT_TRUE(file.SetHeader(CQTXDoc::BuildHeader()));
        EXPECT_TRUE(file.Write(home.Path(name), extra, Radio().MemoryImage(), "c"));
        return home.Path(name);
    }
    test::FakeDocumentUi ui;
    CQTXDoc doc{ui};
};

TEST_F(DocumentBoardTest, SaveWritesTheBoardAndOpenReadsItBack)
{
    BoardBytes board{};
    for (size_t i = 0; i < board.size(); ++i) board[i] = static_cast<uint8_t>(i * 7 + 1);
    board[0] = 3;
    doc.Board() = board;
    EXPECT_TRUE(doc.IsModified());  // a board edit is a change worth saving
    const Image image = Radio().MemoryMap().PackedImage(false);
    ASSERT_TRUE(doc.SaveTo(home.Path("board.dat"), "with board").Ok());

    // The extra chunk holds exactly the 240 bytes; the image is what it was.
    std::vector<uint8_t> extra;
    Image read{};
    ASSERT_TRUE(CDataFile::Read(home.Path("board.dat"), &extra, read));
    EXPECT_EQ(extra, std::vector<uint8_t>(board.begin(), board.end()));
    EXPECT_EQ(read, image);

    doc.New();
    EXPECT_EQ(doc.Board(), BoardBytes{});
    // An empty board leaves the extra chunk empty, as files without a board have it.
    ASSERT_TRUE(doc.SaveTo(home.Path("empty.dat"), "").Ok());
    ASSERT_TRUE(CDataFile::Read(home.Path("empty.dat"), &extra, read));
    EXPECT_TRUE(extra.empty());
    ASSERT_TRUE(doc.OpenPath(home.Path("board.dat")).Ok());
    EXPECT_EQ(doc.Board(), board);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DocumentBoardTest, ExtraChunkOfAnotherLengthOpensWithAnEmptyBoardAndANotice)
{
    struct Case {
        const char* what;
        size_t length;
        bool notice;
    };
    const Case cases[] = {
        {"no extra chunk bytes", 0, false},
        {"one byte short", 239, true},
        {"one byte over", 241, true},
        {"a few bytes", 5, true},
    };
    doc.Board()[0] = 1;
    doc.Board()[1] = 9;
    ASSERT_TRUE(doc.SaveTo(home.Path("before.dat"), "").Ok());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(doc.OpenPath(home.Path("before.dat")).Ok());
        ASSERT_EQ(doc.Board()[1], 9);
        ui.shown.clear();
        const Image image = Radio().MemoryImage();
        const std::string path = FileWithExtra("odd.dat", std::vector<uint8_t>(c.length, 0x5A));
        ASSERT_TRUE(doc.OpenPath(path).Ok());
        EXPECT_EQ(doc.Board(), BoardBytes{});
        EXPECT_EQ(Radio().MemoryImage(), image);  // the rest of the file is opened
        EXPECT_EQ(doc.Path(), path);
        if (c.notice) {
            ASSERT_EQ(ui.shown, std::vector<int>{DocMessage::kBoardDamaged});
            EXPECT_NE(ui.messageTexts.front().find(path), std::string::npos);
        } else {
            EXPECT_TRUE(ui.shown.empty());
        }
    }
}

TEST_F(DocumentBoardTest, AFailedSaveKeepsTheOldFileAndAFailedOpenKeepsTheBoard)
{
    doc.Board()[0] = 1;
    doc.Board()[3] = 14;
    ASSERT_TRUE(doc.SaveTo(home.Path("kept.dat"), "").Ok());
    const std::vector<uint8_t> before = FileBytes(home.Path("kept.dat"));

    // A save into a folder that does not exist fails and leaves everything as it was.
    doc.Board()[3] = 15;
    EXPECT_FALSE(doc.SaveTo(home.Path("missing/dir/kept.dat"), "").Ok());
    EXPECT_EQ(FileBytes(home.Path("kept.dat")), before);

    // A file that cannot be read changes neither the board nor the data.
    const std::string broken = home.Path("broken.dat");
    std::vector<uint8_t> truncated(before.begin(), before.begin() + 200);
    FILE* f = std::fopen(broken.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(truncated.data(), 1, truncated.size(), f);
    std::fclose(f);
    EXPECT_FALSE(doc.OpenPath(broken).Ok());
    EXPECT_EQ(doc.Board()[3], 15);
}


TEST_F(DocumentBoardTest, ChannelNamesAreSavedOpenedAndNeverLeftBehind)
{
    auto& channels = Radio().Channels();
    ASSERT_GE(channels.size(), 3u);
    Radio().SetChannelAlias(channels[0]->id_, "Gate");
    Radio().SetChannelAlias(channels[2]->id_, "Yard");
    EXPECT_TRUE(doc.IsModified());  // a name is a change worth saving
    const Image image = Radio().MemoryMap().PackedImage(false);
    ASSERT_TRUE(doc.SaveTo(home.Path("named.dat"), "").Ok());

    // The names are in the extra chunk; the image the radio gets has none of them.
    std::vector<uint8_t> extra;
    Image read{};
    ASSERT_TRUE(CDataFile::Read(home.Path("named.dat"), &extra, read));
    EXPECT_EQ(read, image);
    const std::optional<DataFileExtra> contents = UnpackExtra(extra);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->channelNames, (std::vector<std::string>{"Gate", "", "Yard"}));

    doc.New();
    EXPECT_EQ(Radio().ChannelAlias(Radio().Channels()[0]->id_), "");
    ASSERT_TRUE(doc.OpenPath(home.Path("named.dat")).Ok());
    EXPECT_EQ(Radio().ChannelAlias(Radio().Channels()[0]->id_), "Gate");
    EXPECT_EQ(Radio().ChannelAlias(Radio().Channels()[2]->id_), "Yard");
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DocumentBoardTest, FilesSavedBeforeNamesWereKeptOpenAndSaveUnchanged)
{
    BoardBytes board{};
    board[0] = 1;
    board[1] = 9;
    const struct {
        const char* what;
        std::vector<uint8_t> extra;
    } cases[] = {
        {"neither board nor names", {}},
        {"the board alone", std::vector<uint8_t>(board.begin(), board.end())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = FileWithExtra("old.dat", c.extra);
        const std::vector<uint8_t> before = FileBytes(path);
        ui.shown.clear();
        ASSERT_TRUE(doc.OpenPath(path).Ok());
        EXPECT_TRUE(ui.shown.empty());
        EXPECT_TRUE(Radio().ChannelAliasesByPosition().empty());
        ASSERT_TRUE(doc.SaveTo(path, "").Ok());
        EXPECT_EQ(FileBytes(path), before);
    }
}

}  // namespace
}  // namespace rv
