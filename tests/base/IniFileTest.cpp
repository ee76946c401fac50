// INI access with the profile semantics the settings, the model catalogue and the language files
// rely on: what a value reads as, and that writing one key leaves the rest of the file alone.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/AtomicFile.h"
#include "base/IniFile.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::TempHome;

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

size_t CountOf(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

// ---- reading ----

constexpr const char* kSample =
    "; language file comment\n"
    "[Setting]\n"
    "List=0.Off;1.On\n"
    "Names = English,Deutsch , Español\n"
    "Quoted=\"  padded ; text \"\n"
    "HalfQuoted=\"open only\n"
    "   Spaced   =   value with  inner  spaces   \n"
    "Empty=\n"
    "Twice=first\n"
    "Twice=second\n"
    "; Commented=not a key\n"
    "CrLf=windows\r\n"
    "Number=12abc\n"
    "Negative=-5\n"
    "NotNumber=abc\n"
    "Huge=99999999999999\n"
    "[ Other Section ]\n"
    "Key=other\n";

struct ReadCase {
    const char* section;
    const char* key;
    const char* expected;  // nullptr: missing, the default is returned
};

class IniReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, ValueAsTheProfileFunctionsReadIt)
{
    CIniFile ini;
    ASSERT_TRUE(ini.LoadText(kSample));
    const ReadCase& c = GetParam();
    EXPECT_EQ(ini.GetString(c.section, c.key, "<default>"), c.expected ? c.expected : "<default>");
    EXPECT_EQ(ini.HasKey(c.section, c.key), c.expected != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniReadTest,
    ::testing::Values(
        ReadCase{"Setting", "List", "0.Off;1.On"},                   // ';' inside a value
        ReadCase{"Setting", "Names", "English,Deutsch , Español"},   // ',' inside a value
        ReadCase{"Setting", "Quoted", "  padded ; text "},           // enclosing quotes removed
        ReadCase{"Setting", "HalfQuoted", "\"open only"},            // one quote is text
        ReadCase{"Setting", "Spaced", "value with  inner  spaces"},  // trimmed, inner kept
        ReadCase{"Setting", "Empty", ""},
        ReadCase{"Setting", "Twice", "first"},  // first of a repeated key
        ReadCase{"Setting", "CrLf", "windows"},
        ReadCase{"SETTING", "list", "0.Off;1.On"},  // case-insensitive
        ReadCase{"setting", "LIST", "0.Off;1.On"},
        ReadCase{"other section", "KEY", "other"},  // section name trimmed
        ReadCase{"Setting", "Commented", nullptr},  // a comment is no key
        ReadCase{"Setting", "Missing", nullptr}, ReadCase{"Missing", "List", nullptr}));

TEST(IniFile, IntegerIsTheLeadingNumber)
{
    CIniFile ini;
    ini.LoadText(kSample);
    EXPECT_EQ(ini.GetInt("Setting", "Number", 7), 12);
    EXPECT_EQ(ini.GetInt("Setting", "Negative", 7), -5);
    EXPECT_EQ(ini.GetInt("Setting", "NotNumber", 7), 7);
    EXPECT_EQ(ini.GetInt("Setting", "Missing", 7), 7);
    EXPECT_EQ(ini.GetInt("Setting", "Empty", 7), 7);
    EXPECT_EQ(ini.GetInt("Setting", "Huge", 7), INT_MAX);
}

TEST(IniFile, ByteOrderMarkIsSkipped)
{
    CIniFile ini;
    ini.LoadText("\xEF\xBB\xBF[Setting]\nLanguage=English\n");
    EXPECT_EQ(ini.GetString("Setting", "Language"), "English");
    EXPECT_EQ(ini.Sections(), std::vector<std::string>{"Setting"});
}

TEST(IniFile, SectionsAndKeysInFileOrder)
{
    CIniFile ini;
    ini.LoadText("[Zeta]\nb=1\na=2\nB=3\n[Alpha]\nz=1\n");
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Zeta", "Alpha"}));
    // A repeated key (in any case) is listed once.
    EXPECT_EQ(ini.Keys("zeta"), (std::vector<std::string>{"b", "a"}));
    EXPECT_TRUE(ini.Keys("Missing").empty());
}

TEST(IniFile, MissingFileReadsAsEmpty)
{
    TempHome home;
    CIniFile ini;
    EXPECT_FALSE(ini.Load(home.Path("none.ini")));
    EXPECT_EQ(ini.GetString("Setting", "Key", "def"), "def");
    EXPECT_EQ(CIniFile::ReadString(home.Path("none.ini"), "Setting", "Key", "def"), "def");
    EXPECT_EQ(CIniFile::ReadInt(home.Path("none.ini"), "Setting", "Key", 3), 3);
    // A directory is not a readable file either.
    EXPECT_FALSE(ini.Load(home.Dir()));
}

TEST(IniFile, LoadingAgainForgetsThePreviousDocument)
{
    TempHome home;
    CIniFile ini;
    ini.LoadText("[S]\nOld=1\n");
    ini.Load(home.Path("none.ini"));
    EXPECT_FALSE(ini.HasKey("S", "Old"));
}

// ---- writing ----

constexpr const char* kSettingsFile =
    "; head comment of the settings\n"
    "[Setting]\n"
    "; the serial port\n"
    "ComPort=3\n"
    "List=0.Off;1.On\n"
    "Twice=first\n"
    "Twice=second\n"
    "\n"
    "; comment before a section\n"
    "[User Mode]\n"
    "Level=0\n"
    "; comment at the very end\n";

TEST(IniFileWrite, OneKeyKeepsEveryOtherKeyAndComment)
{
    TempHome home;
    const std::string path = home.Path("keep.ini");
    home.Write("keep.ini", kSettingsFile);

    ASSERT_TRUE(CIniFile::WriteString(path, "setting", "comport", "5"));
    ASSERT_TRUE(CIniFile::WriteString(path, "Setting", "NewKey", "a;b,c"));

    const std::string text = ReadText(path);
    for (const char* comment : {"; head comment of the settings", "; the serial port",
                                "; comment before a section", "; comment at the very end"})
        EXPECT_EQ(CountOf(text, comment), 1u) << comment << "\n" << text;
    // The key is replaced where it was, not added a second time.
    EXPECT_EQ(CountOf(text, "ComPort"), 1u) << text;
    EXPECT_EQ(CountOf(text, "comport"), 0u) << text;

    CIniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_EQ(ini.GetString("Setting", "ComPort"), "5");
    EXPECT_EQ(ini.GetString("Setting", "NewKey"), "a;b,c");
    EXPECT_EQ(ini.GetString("Setting", "List"), "0.Off;1.On");
    EXPECT_EQ(ini.GetString("Setting", "Twice"), "first");
    EXPECT_EQ(CountOf(text, "Twice"), 2u) << "a repeated key other than the one written stays";
    EXPECT_EQ(ini.GetString("User Mode", "Level"), "0");
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Setting", "User Mode"}));
}

struct LayoutCase {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;  // the whole file afterwards, byte for byte
};

// Only the lines of the keys written change: comments, blank lines, spacing around '=', the
// order of entries, the line ends and a byte order mark stay as the user left them.
class IniLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(IniLayoutTest, WritingChangesOnlyTheKeysLine)
{
    const LayoutCase& c = GetParam();
    TempHome home;
    const std::string path = home.Path("Settings.ini");
    home.Write("Settings.ini", c.before);
    ASSERT_TRUE(CIniFile::WriteString(path, c.section, c.key, c.value));
    EXPECT_EQ(ReadText(path), c.after);
    EXPECT_EQ(CIniFile::ReadString(path, c.section, c.key, "<missing>"), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniLayoutTest,
    ::testing::Values(
        LayoutCase{"ChangedValueKeepsSpacingAndComments",
                   "; rvcps settings\n\n[Setting]\n; the cable's port\nComPort = 1\n"
                   "Language=0   ; not a comment\n\n; level\n[User Mode]\nLevel=0\n",
                   "setting", "comport", "5",
                   "; rvcps settings\n\n[Setting]\n; the cable's port\nComPort = 5\n"
                   "Language=0   ; not a comment\n\n; level\n[User Mode]\nLevel=0\n"},
        LayoutCase{"NewKeyFollowsTheSectionsLastEntry",
                   "[Setting]\nComPort=1\n\n; the next section\n[User Mode]\nLevel=0\n", "Setting",
                   "SafeWrite", "1",
                   "[Setting]\nComPort=1\nSafeWrite=1\n\n; the next section\n[User Mode]\n"
                   "Level=0\n"},
        LayoutCase{"NewSectionGoesAtTheEnd", "[Setting]\r\nComPort=1\r\n; end\r\n", "Ports", "COM3",
                   "/dev/ttyUSB1",
                   "[Setting]\r\nComPort=1\r\n; end\r\n\r\n[Ports]\r\nCOM3=/dev/ttyUSB1\r\n"},
        LayoutCase{"LastLineWithoutLineEnd", "[Ports]\nCOM1=/dev/ttyS0", "ports", "com2",
                   "/dev/ttyS1", "[Ports]\nCOM1=/dev/ttyS0\ncom2=/dev/ttyS1\n"},
        LayoutCase{"EmptySectionGetsItsFirstKey", "[Ports]\n[Setting]\nComPort=1\n", "Ports",
                   "COM1", "/dev/ttyUSB0", "[Ports]\nCOM1=/dev/ttyUSB0\n[Setting]\nComPort=1\n"},
        LayoutCase{"ByteOrderMarkStays", "\xEF\xBB\xBF[Setting]\nLanguage=0\n", "Setting",
                   "Language", "1", "\xEF\xBB\xBF[Setting]\nLanguage=1\n"},
        LayoutCase{"PaddedValueIsQuoted", "[S]\nK=x\n", "S", "K", " padded ",
                   "[S]\nK=\" padded \"\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFileWrite, SavedDocumentKeepsTheLayoutOfEveryKeyNotSet)
{
    // The settings written at exit: five keys set, the file's comments and order kept.
    TempHome home;
    const std::string path = home.Path("Settings.ini");
    home.Write("Settings.ini", kSettingsFile);
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ini.SetString("Setting", "ComPort", "7");
    ini.SetString("Setting", "ComPort", "8");
    ASSERT_TRUE(ini.Save(path));
    std::string expected = kSettingsFile;
    const size_t at = expected.find("ComPort=");
    ASSERT_NE(at, std::string::npos);
    expected.replace(at, expected.find('\n', at) - at, "ComPort=8");
    EXPECT_EQ(ReadText(path), expected);
}

TEST(IniFileWrite, ValuesThatNeedQuotesReadBackUnchanged)
{
    TempHome home;
    const std::string path = home.Path("quotes.ini");
    for (const std::string value : {"  leading and trailing  ", "", "x=y", "a;b,c"}) {
        ASSERT_TRUE(CIniFile::WriteString(path, "S", "K", value));
        EXPECT_EQ(CIniFile::ReadString(path, "S", "K", "<missing>"), value);
    }
}

TEST(IniFileWrite, WritingARepeatedKeyLeavesOneLine)
{
    TempHome home;
    const std::string path = home.Path("twice.ini");
    home.Write("twice.ini", "[S]\nK=1\nOther=x\nK=2\n");
    ASSERT_TRUE(CIniFile::WriteString(path, "S", "K", "3"));
    const std::string text = ReadText(path);
    EXPECT_EQ(text, "[S]\nK=3\nOther=x\n");
    EXPECT_EQ(CIniFile::ReadString(path, "S", "K"), "3");
    EXPECT_EQ(CIniFile::ReadString(path, "S", "Other"), "x");
}

TEST(IniFileWrite, CommentOnlyFileKeepsItsCommentsFirst)
{
    TempHome home;
    const std::string path = home.Path("comments.ini");
    home.Write("comments.ini", "; first\n\n; second\n");
    ASSERT_TRUE(CIniFile::WriteString(path, "S", "K", "v"));
    const std::string text = ReadText(path);
    EXPECT_EQ(CountOf(text, "; first"), 1u) << text;
    EXPECT_EQ(CountOf(text, "; second"), 1u) << text;
    EXPECT_LT(text.find("; second"), text.find("[S]")) << text;
    EXPECT_EQ(CIniFile::ReadString(path, "S", "K"), "v");
}

TEST(IniFileWrite, ZeroByteEndsTheDocument)
{
    // A damaged file: what follows a zero byte is not read, and a key written into such a
    // file reads back.
    TempHome home;
    const std::string path = home.Path("zero.ini");
    const char text[] = "; comment \0 [S]\nHidden=1\n";
    home.Write("zero.ini", std::string(text, sizeof text - 1));
    EXPECT_EQ(CIniFile::ReadString(path, "S", "Hidden", "<missing>"), "<missing>");
    ASSERT_TRUE(CIniFile::WriteString(path, "S", "K", "v"));
    EXPECT_EQ(CIniFile::ReadString(path, "S", "K"), "v");
}

TEST(IniFileWrite, LoneCarriageReturnEndsALine)
{
    // A damaged file whose comment ends in a lone carriage return and goes on with a broken
    // section header: the header is not taken for part of the comment, so a key written into
    // the file reads back.
    TempHome home;
    const std::string path = home.Path("cr.ini");
    home.Write("cr.ini", "; comment\r\r[\r\r\n");
    ASSERT_TRUE(CIniFile::WriteString(path, "S", "K", "v"));
    EXPECT_EQ(CIniFile::ReadString(path, "S", "K"), "v") << ReadText(path);
    EXPECT_EQ(CountOf(ReadText(path), "; comment"), 1u);
}

TEST(IniFileWrite, MissingFileIsCreatedAndNoTemporaryFileStays)
{
    TempHome home;
    const std::string path = home.Path("sub.ini");
    ASSERT_TRUE(CIniFile::WriteString(path, "Setting", "Language", "1"));
    EXPECT_EQ(CIniFile::ReadInt(path, "Setting", "Language"), 1);
    for (const auto& e : std::filesystem::directory_iterator(home.Dir()))
        EXPECT_EQ(e.path().filename().string().find("sub.ini."), std::string::npos) << e.path();
}

TEST(IniFileWrite, ExistingPathThatIsNoReadableFileIsLeftAlone)
{
    TempHome home;
    // A directory stands for a file that exists but cannot be read (root reads any file).
    const std::string path = home.Path("folder.ini");
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    EXPECT_FALSE(CIniFile::WriteString(path, "S", "K", "v"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST(IniFileWrite, UnreadableFileIsNotClobbered)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root can read a file without read permission";
    TempHome home;
    const std::string path = home.Path("locked.ini");
    home.Write("locked.ini", kSettingsFile);
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    EXPECT_FALSE(CIniFile::WriteString(path, "Setting", "ComPort", "9"));
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadText(path), kSettingsFile);
}

TEST(IniFileWrite, FolderThatDoesNotExistFailsCleanly)
{
    TempHome home;
    EXPECT_FALSE(CIniFile::WriteString(home.Path("no/such/dir/x.ini"), "S", "K", "v"));
}

TEST(AtomicFile, FailedWriteLeavesTheOldFile)
{
    TempHome home;
    const std::string path = home.Path("data.bin");
    ASSERT_TRUE(WriteFileAtomic(path, std::string("old contents")));
    std::string out;
    ASSERT_TRUE(ReadWholeFile(path, out));
    EXPECT_EQ(out, "old contents");
    // Renaming over a non-empty directory fails: the directory and its file stay.
    const std::string dir = home.Path("busy");
    ASSERT_EQ(::mkdir(dir.c_str(), 0755), 0);
    home.Write("busy/inside", "x");
    EXPECT_FALSE(WriteFileAtomic(dir, std::string("new")));
    EXPECT_TRUE(ReadWholeFile(dir + "/inside", out));
    EXPECT_FALSE(ReadWholeFile(home.Path("missing.bin"), out));
    size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(home.Dir()))
        entries += e.path().filename().string().rfind("busy.", 0) == 0;
    EXPECT_EQ(entries, 0u) << "the temporary file is removed after a failed rename";
}

mode_t ModeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

bool IsLink(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissions)
{
    TempHome home;
    const std::string path = home.Path("data.bin");
    for (mode_t mode : {0444, 0640, 0600, 0664}) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(WriteFileAtomic(path, std::string("old")));
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomic(path, std::string("new")));
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(ReadText(path), "new");
    }
    // A new file gets what the user's mask allows.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ASSERT_TRUE(WriteFileAtomic(home.Path("fresh.bin"), std::string("x")));
    EXPECT_EQ(ModeOf(home.Path("fresh.bin")), 0666 & ~mask);
}

TEST(AtomicFile, SymbolicLinkIsWrittenThroughToItsFile)
{
    TempHome home;
    ASSERT_EQ(::mkdir(home.Path("files").c_str(), 0755), 0);
    const std::string target = home.Path("files/target.dat");
    ASSERT_TRUE(WriteFileAtomic(target, std::string("old")));
    ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
    struct Case {
        const char* link;
        std::string pointsAt;
    } cases[] = {
        {"absolute.dat", target},
        {"relative.dat", "files/target.dat"},
        {"chain.dat", "relative.dat"},  // a link to a link
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        const std::string link = home.Path(c.link);
        ASSERT_EQ(::symlink(c.pointsAt.c_str(), link.c_str()), 0);
        const std::string text = "contents " + std::to_string(++n);
        ASSERT_TRUE(WriteFileAtomic(link, text));
        EXPECT_TRUE(IsLink(link)) << "the link stays a link";
        EXPECT_EQ(ReadText(target), text);
        EXPECT_EQ(ModeOf(target), 0444u);
        EXPECT_EQ(ResolveLinkTarget(link),
                  c.link == std::string("absolute.dat") ? target : home.Dir() + "files/target.dat");
    }
    // A link to a file not made yet makes it.
    ASSERT_EQ(::symlink("files/later.dat", home.Path("later.dat").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomic(home.Path("later.dat"), std::string("made")));
    EXPECT_TRUE(IsLink(home.Path("later.dat")));
    EXPECT_EQ(ReadText(home.Path("files/later.dat")), "made");
    size_t leftovers = 0;
    for (const auto& e : std::filesystem::directory_iterator(home.Path("files")))
        leftovers += e.path().filename().string().find(".dat.") != std::string::npos;
    EXPECT_EQ(leftovers, 0u) << "no temporary file stays behind";
}

TEST(AtomicFile, FileProblemsAreToldByTheirCause)
{
    TempHome home;
    home.Write("small.dat", "12345");
    ASSERT_EQ(::mkdir(home.Path("folder").c_str(), 0755), 0);
    // A sparse file larger than the limit, without writing its bytes.
    home.Write("big.dat", "");
    ASSERT_EQ(::truncate(home.Path("big.dat").c_str(), 1001), 0);
    struct Case {
        std::string path;
        FileProblem problem;
    } reading[] = {
        {home.Path("small.dat"), FileProblem::None},
        {home.Path("missing.dat"), FileProblem::Missing},
        {home.Path("no/such/folder/x.dat"), FileProblem::Missing},
        {home.Path("small.dat/x.dat"), FileProblem::Missing},
        {home.Path("folder"), FileProblem::IsFolder},
        {home.Path("big.dat"), FileProblem::TooLarge},
        {"", FileProblem::Missing},
    };
    for (const Case& c : reading) EXPECT_EQ(CheckReadableFile(c.path, 1000), c.problem) << c.path;

    Case writing[] = {
        {home.Path("small.dat"), FileProblem::None},
        {home.Path("new.dat"), FileProblem::None},
        {home.Path("no/such/folder/x.dat"), FileProblem::NoFolder},
        {home.Path("folder"), FileProblem::IsFolder},
        {home.Path("folder/"), FileProblem::IsFolder},
        {home.Path("small.dat/x.dat"), FileProblem::NoFolder},
    };
    for (const Case& c : writing) EXPECT_EQ(CheckWritableFile(c.path), c.problem) << c.path;
    EXPECT_FALSE(std::filesystem::exists(home.Path("new.dat"))) << "the check leaves nothing";
    for (const auto& e : std::filesystem::directory_iterator(home.Dir())) {
        const std::string name = e.path().filename().string();
        EXPECT_FALSE(name.rfind("small.dat.", 0) == 0 || name.rfind("new.dat.", 0) == 0) << name;
    }
}

}  // namespace
}  // namespace rv
