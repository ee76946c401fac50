// The data file: byte-exact header and chunk layout, the comment rule, refusing malformed
// files without writing past any buffer, atomic saving, and the document's Open and Save
// (version check, failed Open leaves everything as it was).

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "FakeDocumentUi.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "editors/general/MiscBlock.h"
#include "editors/personality/PersonalityData.h"
#include "base/Settings.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::FakeDocumentUi;
using test::HomeTest;
using test::ReadBytes;
using Bytes = std::vector<uint8_t>;

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void AppendU32(Bytes& out, uint32_t v)
{
    uint8_t b[4];
    PutU32(b, v);
    out.insert(out.end(), b, b + 4);
}

CDataFileHeader SampleHeader(const std::string& version = kProgramDataVersion)
{
    return CDataFileHeader::Make("RV205", "RV-205", 400, 470, version, 1, 2);
}

/// A file assembled chunk by chunk, so that tests can break any part of it.
struct FileBuilder {
    Bytes bytes;
    FileBuilder()
    {
        bytes.assign(kDataFileMagic.begin(), kDataFileMagic.end());
        const CDataFileHeader header = SampleHeader();
        bytes.insert(bytes.end(), header.Raw().Bytes().begin(), header.Raw().Bytes().end());
    }
    FileBuilder& Chunk(uint32_t tag, uint32_t declared, size_t present, uint8_t fill = 0x42)
    {
        AppendU32(bytes, tag);
        AppendU32(bytes, declared);
        bytes.insert(bytes.end(), present, fill);
        return *this;
    }
    FileBuilder& Comment(const std::string& text)
    {
        AppendU32(bytes, kTagXM);
        AppendU32(bytes, static_cast<uint32_t>(text.size()));
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
};

Image Filled(uint8_t value)
{
    Image image;
    image.fill(value);
    return image;
}

// ---- header and file layout ----------------------------------------------------------------

TEST(DataFileHeaderTest, GoldenLayout)
{
    Bytes expected(116, 0);
    const uint8_t tag[] = {0x58, 0x48, 0x10, 0x10, 0x74, 0x00, 0x00, 0x00};
    std::copy(std::begin(tag), std::end(tag), expected.begin());
    std::memcpy(&expected[12], "RV205", 5);
    std::memcpy(&expected[28], "RV-205", 6);
    expected[44] = 0x90;  // 400
    expected[45] = 0x01;
    expected[46] = 0xD6;  // 470
    expected[47] = 0x01;
    std::memcpy(&expected[52], "1.01.16.001", 11);
    std::memcpy(&expected[68], "1.01.16.001", 11);
    expected[84] = 1;
    expected[85] = 2;
    const CDataFileHeader header = SampleHeader();
    EXPECT_EQ(Bytes(header.Raw().Bytes().begin(), header.Raw().Bytes().end()), expected);
    EXPECT_EQ(header.ModelId(), "RV205");
    EXPECT_EQ(header.RangeText(), "400-470");
    EXPECT_EQ(header.Signal(), 2);
}

TEST(DataFileHeaderTest, LongTextsAreCutAndTerminated)
{
    const CDataFileHeader h = CDataFileHeader::Make("ABCDEFGHIJKLMNOPQRST", "N", 136, 174,
                                                    "1.01.16.001XYZ12345", 0, 0x1FF);
    EXPECT_EQ(h.ModelId(), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(h.Raw()[12 + 15], 0);
    EXPECT_EQ(h.RadioVersion(), "1.01.16.001XYZ12");  // read as at most 16 characters
    EXPECT_EQ(h.Raw()[68], '1');                       // the next field is untouched
    EXPECT_EQ(h.Signal(), 0xFF);
}

TEST(DataFileTest, SetHeaderNeedsTag)
{
    CDataFile file;
    EXPECT_FALSE(file.SetHeader(CDataFileHeader()));
    EXPECT_TRUE(file.SetHeader(SampleHeader()));
    const CDataFileHeader sample = SampleHeader();
    Bytes raw(sample.Raw().Bytes().begin(), sample.Raw().Bytes().end());
    EXPECT_FALSE(file.SetHeader(std::span<const uint8_t>(raw.data(), 100)));
    raw[0] = 'Y';
    EXPECT_FALSE(file.SetHeader(raw));
    EXPECT_EQ(file.Header(), SampleHeader());
}

TEST(DataFileTest, ChunkLayout)
{
    CDataFile file;
    ASSERT_TRUE(file.SetHeader(SampleHeader()));
    const Image image = Filled(0x3C);
    const Bytes out = file.Serialize({}, image, "hello");
    ASSERT_EQ(out.size(), 119u + 8 + 5 + 8 + 8 + 2048);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 3), (Bytes{'Q', 'T', 'X'}));
    EXPECT_EQ(GetU32(&out[3]), kTagXH);
    EXPECT_EQ(Bytes(out.begin() + 119, out.begin() + 123), (Bytes{'X', 'M', 0x10, 0x10}));
    EXPECT_EQ(GetU32(&out[123]), 5u);
    EXPECT_EQ(std::string(out.begin() + 127, out.begin() + 132), "hello");
    EXPECT_EQ(GetU32(&out[132]), kTagXF);
    EXPECT_EQ(GetU32(&out[136]), 0u);
    EXPECT_EQ(GetU32(&out[140]), kTagXE);
    EXPECT_EQ(GetU32(&out[144]), 2048u);
    EXPECT_TRUE(std::all_of(out.begin() + 148, out.end(), [](uint8_t b) { return b == 0x3C; }));
}

class DataFileDiskTest : public HomeTest {};

TEST_F(DataFileDiskTest, WriteReadRoundTripAndCommentRule)
{
    const std::string path = home.Path("a.dat");
    CDataFile file;
    ASSERT_TRUE(file.SetHeader(SampleHeader()));
    Image image = Filled(0);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(file.Write(path, {}, image, "abc"));
    EXPECT_EQ(CDataFile::ReadHeader(path), SampleHeader());
    EXPECT_EQ(CDataFile::ReadComment(path), "abc");
    Image back = Filled(0xEE);
    ASSERT_TRUE(CDataFile::Read(path, nullptr, back));
    EXPECT_TRUE(back == image);

    ASSERT_TRUE(file.Write(path, {}, image, ""));
    EXPECT_EQ(CDataFile::ReadComment(path), "abc");
    ASSERT_TRUE(file.Write(path, {}, image, "new"));
    EXPECT_EQ(CDataFile::ReadComment(path), "new");
    // Without a file there is no comment to keep.
    ASSERT_TRUE(file.Write(home.Path("b.dat"), {}, image, ""));
    EXPECT_EQ(CDataFile::ReadComment(home.Path("b.dat")), "");
}

TEST_F(DataFileDiskTest, UnreadableHeadersAreRefused)
{
    Bytes good = FileBuilder().Comment("x").Chunk(kTagXF, 0, 0).Chunk(kTagXE, 2048, 2048).bytes;
    Bytes badTag = good;
    badTag[3] = 'Y';
    Bytes badMagic = good;
    badMagic[2] = 'Y';
    struct Case {
        const char* name;
        Bytes bytes;
        bool imageReadable;  // Read looks at the magic and the chunks, not at the header
    };
    const Case cases[] = {
        {"empty", {}, false},
        {"magic only", {'Q', 'T', 'X'}, false},
        {"truncated header", Bytes(good.begin(), good.begin() + 60), false},
        {"header one byte short", Bytes(good.begin(), good.begin() + 118), false},
        {"wrong magic", badMagic, false},
        {"wrong header tag", badTag, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(home.Path("h.dat"), c.bytes);
        EXPECT_FALSE(CDataFile::ReadHeader(home.Path("h.dat")));
        Image image = Filled(0x77);
        EXPECT_EQ(CDataFile::Read(home.Path("h.dat"), nullptr, image), c.imageReadable);
    }
    EXPECT_FALSE(CDataFile::ReadHeader(home.Path("missing.dat")));
    EXPECT_FALSE(CDataFile::ReadHeader(home.Dir()));
    WriteBytes(home.Path("h.dat"), Bytes(good.begin(), good.begin() + 119));
    EXPECT_TRUE(CDataFile::ReadHeader(home.Path("h.dat")));
}

TEST_F(DataFileDiskTest, MalformedBodiesNeverOverrunTheImage)
{
    struct Case {
        const char* name;
        Bytes bytes;
        bool accepted;
        size_t extraSize;
    };
    const Case cases[] = {
        {"well formed", FileBuilder().Comment("c").Chunk(kTagXF, 0, 0).Chunk(kTagXE, 2048, 2048).bytes,
         true, 0},
        {"extra chunk with data is read into the extra buffer",
         FileBuilder().Comment("c").Chunk(kTagXF, 10, 10, 0x11).Chunk(kTagXE, 2048, 2048).bytes, true, 10},
        {"no extra chunk", FileBuilder().Comment("c").Chunk(kTagXE, 2048, 2048).bytes, true, 0},
        {"empty comment", FileBuilder().Comment("").Chunk(kTagXF, 0, 0).Chunk(kTagXE, 2048, 2048).bytes,
         true, 0},
        {"short image chunk", FileBuilder().Comment("c").Chunk(kTagXF, 0, 0).Chunk(kTagXE, 1024, 1024).bytes,
         false, 0},
        {"long image chunk", FileBuilder().Comment("c").Chunk(kTagXF, 0, 0).Chunk(kTagXE, 4096, 4096).bytes,
         false, 0},
        {"image cut off", FileBuilder().Comment("c").Chunk(kTagXF, 0, 0).Chunk(kTagXE, 2048, 1000).bytes,
         false, 0},
        {"extra chunk longer than the file",
         FileBuilder().Comment("c").Chunk(kTagXF, 5000, 100).Chunk(kTagXE, 2048, 2048).bytes, false, 0},
        {"huge comment length", FileBuilder().Chunk(kTagXM, 0xFFFFFFFF, 10).bytes, false, 0},
        {"no comment chunk", FileBuilder().Chunk(kTagXF, 0, 0).Chunk(kTagXE, 2048, 2048).bytes, false, 0},
        {"unknown chunk after the comment",
         FileBuilder().Comment("c").Chunk(0x10105158, 0, 0).Chunk(kTagXE, 2048, 2048).bytes, false, 0},
        {"ends after the comment", FileBuilder().Comment("c").bytes, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(home.Path("m.dat"), c.bytes);
        Image image = Filled(0x77);
        Bytes extra(3, 0x99);
        EXPECT_EQ(CDataFile::Read(home.Path("m.dat"), &extra, image), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(image[0], 0x42);
            EXPECT_EQ(extra.size(), c.extraSize);
        } else {
            EXPECT_TRUE(image == Filled(0x77)) << "image changed by a refused file";
        }
    }
}

TEST_F(DataFileDiskTest, FailedWriteLeavesOldFile)
{
    const std::string path = home.Path("keep.dat");
    CDataFile file;
    ASSERT_TRUE(file.SetHeader(SampleHeader()));
    ASSERT_TRUE(file.Write(path, {}, Filled(0x01), "old"));
    const std::vector<unsigned char> before = ReadBytes(path);

    // A file size limit below the size of a data file makes the write fail half-way (this
    // works for every user, unlike file permissions).
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = file.Write(path, {}, Filled(0x02), "new");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(path), before);
    // No temporary file is left behind.
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(home.Dir()))
        if (e.path().filename().string().rfind("keep.dat", 0) == 0) ++files;
    EXPECT_EQ(files, 1u);
}

// ---- the document's Open and Save --------------------------------------------------------

class DocumentFileTest : public HomeTest {
protected:
    void SetUp() override
    {
        HomeTest::SetUp();
        ModelCatalog().LoadRangeTable();
    }
    /// A data file of the given identity with the current data, written by the document.
    std::string MakeFile(const std::string& name, const ModelIdentity& id,
                         const std::string& version = kProgramDataVersion)
    {
        const ModelIdentity saved = CModelCatalog::CurrentIdentity();
        const std::string savedVersion = Settings().RadioVersion();
        Settings().SetModelID(id.id);
        Settings().SetModelName(id.name);
        Settings().SetFreqRange(id.range);
        Settings().SetSignal(id.signal);
        Settings().SetRadioVersion(version);
        ModelCatalog().LoadRangeTable();
        FakeDocumentUi quiet;
        CQTXDoc writer(quiet);
        EXPECT_TRUE(writer.SaveTo(home.Path(name), "").Ok());
        Settings().SetModelID(saved.id);
        Settings().SetModelName(saved.name);
        Settings().SetFreqRange(saved.range);
        Settings().SetSignal(saved.signal);
        Settings().SetRadioVersion(savedVersion);
        ModelCatalog().LoadRangeTable();
        return home.Path(name);
    }
    FakeDocumentUi ui;
    CQTXDoc doc{ui};
};

TEST_F(DocumentFileTest, SaveAfterSaveAsKeepsComment)
{
    ui.saveChoice = SaveChoice{home.Path("c.dat"), "abc"};
    ASSERT_TRUE(doc.SaveAs().Ok());
    EXPECT_EQ(doc.Path(), home.Path("c.dat"));
    EXPECT_EQ(CDataFile::ReadComment(doc.Path()), "abc");
    Radio().Misc().Raw()[0] = 0x07;
    ASSERT_TRUE(doc.Save().Ok());
    EXPECT_EQ(CDataFile::ReadComment(doc.Path()), "abc");
    Image image{};
    ASSERT_TRUE(CDataFile::Read(doc.Path(), nullptr, image));
    EXPECT_EQ(image[281], 0x07);
    // Save As offers the comment of the current file.
    ui.saveChoice.reset();
    EXPECT_EQ(doc.SaveAs().outcome, DocOutcome::Cancelled);
    EXPECT_EQ(ui.offeredComment, "abc");
}

TEST_F(DocumentFileTest, SaveWithoutFileAsksForOne)
{
    ui.saveChoice = SaveChoice{home.Path("first.dat"), "x"};
    ASSERT_TRUE(doc.Save().Ok());
    EXPECT_EQ(doc.Path(), home.Path("first.dat"));
    EXPECT_EQ(ui.title, Settings().LoadText(128) + " [ " + home.Path("first.dat") + " ]");
}

TEST_F(DocumentFileTest, HeaderDescribesCurrentState)
{
    Settings().SetFreqRange("433-434");
    const CDataFileHeader h = CQTXDoc::BuildHeader();
    EXPECT_EQ(h.ModelId(), "RV205");
    EXPECT_EQ(h.ModelName(), "RV-205");
    EXPECT_EQ(h.RangeLow(), 433);
    EXPECT_EQ(h.RangeHigh(), 434);
    EXPECT_EQ(h.BandCode(), 2);
    EXPECT_EQ(h.Signal(), 2);
    EXPECT_EQ(h.DataVersion(), kProgramDataVersion);
}

TEST_F(DocumentFileTest, VersionCheck)
{
    struct Case {
        const char* version;
        int message;
    };
    const Case cases[] = {{"1.02.00.000", 1140}, {"1.00.16.001", 1141}, {"1.01.99", 0},
                          {"2", 1140},           {"1.0", 1141},         {"", 1141}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const std::string path = MakeFile("v.dat", {"RV205", "RV-205", "400-470", 2}, c.version);
        ui.shown.clear();
        DocResult r = doc.OpenPath(path);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.Ok(), c.message == 0);
        if (c.message) {
            EXPECT_EQ(ui.shown, std::vector<int>{c.message});
        } else {
            EXPECT_EQ(Settings().RadioVersion(), c.version);
        }
    }
}

TEST_F(DocumentFileTest, TruncatedHeaderIsRefusedWith811)
{
    WriteBytes(home.Path("t.dat"), Bytes{'Q', 'T', 'X', 0x58, 0x48, 0x10});
    DocResult r = doc.OpenPath(home.Path("t.dat"));
    EXPECT_EQ(r.message, 811);
    ASSERT_EQ(ui.messageTexts.size(), 1u);
    EXPECT_NE(ui.messageTexts[0].find("t.dat"), std::string::npos);
}

TEST_F(DocumentFileTest, OpenTakesIdentityAndData)
{
    Radio().Misc().Raw()[0] = 0x09;
    const std::string path = MakeFile("o.dat", {"RV305", "RV-305", "450-520", 1}, "1.01.20.002");
    Radio().Misc().Raw()[0] = 0x05;
    ASSERT_TRUE(doc.OpenPath(path).Ok());
    EXPECT_EQ(doc.Path(), path);
    EXPECT_EQ(CModelCatalog::CurrentIdentity(), (ModelIdentity{"RV305", "RV-305", "450-520", 1}));
    EXPECT_EQ(Settings().RadioVersion(), "1.01.20.002");
    EXPECT_EQ(ModelCatalog().TableModelId(), "RV305");
    EXPECT_EQ(ModelCatalog().CurrentBandCode(), 5);
    EXPECT_EQ(Radio().Misc().Raw()[0], 0x09);
    EXPECT_EQ(doc.LastHeader().ModelId(), "RV305");
    EXPECT_GE(ui.closeAllViews, 1);
}

TEST_F(DocumentFileTest, FailedOpenChangesNothing)
{
    const std::string good = MakeFile("good.dat", {"RV305", "RV-305", "450-520", 1});
    ASSERT_TRUE(doc.OpenPath(good).Ok());
    Radio().Misc().Raw()[0] = 0x0B;

    // Valid header of another model, image cut short.
    Bytes cut = ReadBytes(MakeFile("cut.dat", {"RV205", "RV-205", "400-470", 2}));
    cut.resize(cut.size() - 100);
    WriteBytes(home.Path("cut.dat"), cut);
    // Unknown model.
    const std::string unknown = MakeFile("unknown.dat", {"XX999", "XX-999", "400-470", 2});
    const Image imageBefore = Radio().MemoryImage();

    struct Case {
        std::string path;
        int message;
    };
    const Case cases[] = {{home.Path("cut.dat"), 811}, {unknown, 810}, {home.Path("none.dat"), 811}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(doc.OpenPath(c.path).message, c.message);
        EXPECT_EQ(doc.Path(), good);
        EXPECT_EQ(CModelCatalog::CurrentIdentity(), (ModelIdentity{"RV305", "RV-305", "450-520", 1}));
        EXPECT_EQ(ModelCatalog().TableModelId(), "RV305");
        EXPECT_EQ(Radio().Misc().Raw()[0], 0x0B);
        EXPECT_TRUE(Radio().MemoryImage() == imageBefore);
    }
}

TEST_F(DocumentFileTest, InvalidDataIsNotSaved)
{
    // A channel whose personality is gone.
    Radio().Personalities().clear();
    ui.saveChoice = SaveChoice{home.Path("inv.dat"), ""};
    EXPECT_EQ(doc.SaveAs().message, 814);
    EXPECT_EQ(doc.Save().message, 814);
    EXPECT_EQ(doc.SaveTo(home.Path("inv.dat"), "").message, 814);
    EXPECT_FALSE(std::filesystem::exists(home.Path("inv.dat")));
    EXPECT_EQ(ui.shown, (std::vector<int>{814, 814, 814}));
}

TEST_F(DocumentFileTest, UnwritableTargetGives803)
{
    ui.saveChoice = SaveChoice{home.Path("no/such/dir/x.dat"), ""};
    DocResult r = doc.SaveAs();
    EXPECT_EQ(r.message, 803);
    EXPECT_EQ(doc.Path(), "");
}


// ---- the extra chunk: the board and the channel names -----------------------------------

TEST(DataFileExtraTest, ShortestFormKeepsOldFilesAndNamesRoundTrip)
{
    DataFileExtra none;
    EXPECT_TRUE(PackExtra(none).empty());  // an empty chunk, as files without a board have it

    DataFileExtra board;
    board.board[0] = 2;
    board.board[9] = 7;
    board.channelNames = {"", ""};  // no name: the board alone, 240 bytes as before
    EXPECT_EQ(PackExtra(board), std::vector<uint8_t>(board.board.begin(), board.board.end()));

    DataFileExtra named;
    named.channelNames = {"Gate", "", "Hill, \"east\""};
    named.otherEntries = {{9, {1, 2, 3}}};
    const std::vector<uint8_t> bytes = PackExtra(named);
    // Board (all zero), version 1, names entry, the entry of a later version.
    ASSERT_EQ(bytes.size(), 240u + 2 + 3 + (1 + 4 + 1 + 1 + 12) + 3 + 3);
    EXPECT_EQ(bytes[240], 1);
    EXPECT_EQ(bytes[242], DataFileExtra::kChannelNames);
    for (const DataFileExtra& e : {none, named}) {
        const std::optional<DataFileExtra> back = UnpackExtra(PackExtra(e));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, e);
    }
    // A board alone reads as a board without names.
    const std::optional<DataFileExtra> old = UnpackExtra(PackExtra(board));
    ASSERT_TRUE(old);
    EXPECT_EQ(old->board, board.board);
    EXPECT_TRUE(old->channelNames.empty());
}

TEST(DataFileExtraTest, BytesInNoLayoutAreRefused)
{
    DataFileExtra named;
    named.channelNames = {"Gate"};
    const std::vector<uint8_t> good = PackExtra(named);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t> versionZero = good;
    versionZero[240] = 0;
    std::vector<uint8_t> entryTooLong = good;
    entryTooLong[243] = 0xFF;
    std::vector<uint8_t> nameTooLong = good;
    nameTooLong[245] = 9;  // "Gate" said to have 9 bytes in an entry of 5
    std::vector<uint8_t> twoNameEntries = good;
    twoNameEntries.insert(twoNameEntries.end(), good.begin() + 242, good.end());
    const Case cases[] = {
        {"shorter than a board", std::vector<uint8_t>(239, 0)},
        {"board and one byte", std::vector<uint8_t>(241, 0)},
        {"version 0", versionZero},
        {"entry past the end", entryTooLong},
        {"name past its entry", nameTooLong},
        {"names given twice", twoNameEntries},
        {"an entry cut short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
    };
    for (const Case& c : cases) EXPECT_FALSE(UnpackExtra(c.bytes)) << c.what;
}

}  // namespace
}  // namespace rv
