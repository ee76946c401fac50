// Where backups go, what they are called and the order they are listed in: the program
// directory's Backups folder, the user's data folder when that cannot be made (never with
// --home), names that stay file names whatever the radio calls itself, newest first.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "base/Settings.h"
#include "data/DataFile.h"
#include "link/SafeWrite.h"
#include "support/TestSupport.h"

namespace rv::test {
namespace {

namespace fs = std::filesystem;

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

TEST(BackupFiles, NameCarriesModelRangeSerialAndTimeAndStaysAFileName)
{
    const std::time_t when = LocalTime(2026, 12, 10, 13, 44, 33);
    struct Case {
        const char* model;
        const char* serial;
        const char* name;
    } const cases[] = {
        {"RV-205", "SN4711", "RV-205_400-470_SN4711_20261210-134433.dat"},
        {"RV-205", "", "RV-205_400-470_-_20261210-134433.dat"},
        {"RV 205", "../a/b_c", "RV-205_400-470_..-a-b-c_20261210-134433.dat"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BackupFileName(c.model, "400-470", c.serial, when), c.name) << c.serial;
}

TEST(BackupFiles, FolderIsTheProgramDirectorysUnlessItCannotBeMade)
{
    const TempHome program;
    const TempHome data;
    ASSERT_EQ(setenv("XDG_DATA_HOME", data.Dir().c_str(), 1), 0);
    std::string tried;
    EXPECT_EQ(BackupFolder(program.Dir(), false, tried), program.Path("Backups"));
    EXPECT_TRUE(fs::is_directory(program.Path("Backups")));

    // A file where the folder should be: the user's data folder, but never with --home.
    fs::remove(program.Path("Backups"));
    program.Write("Backups", "not a folder");
    EXPECT_EQ(BackupFolder(program.Dir(), false, tried), data.Path("rvcps/Backups"));
    EXPECT_TRUE(fs::is_directory(data.Path("rvcps/Backups")));
    EXPECT_EQ(BackupFolder(program.Dir(), true, tried), "");
    EXPECT_EQ(tried, program.Path("Backups")) << "the message names the folder expected";
}

TEST(BackupFiles, ListedNewestFirstOtherFilesLeftOut)
{
    const TempHome folder;
    const char* names[] = {
        "RV-205_400-470_A1_20261210-134433.dat",
        "RV-205_400-470_B2_20261211-080000.dat",
        "RV-205_400-470_A1_20250101-000000.dat",
        "notes.txt",
        "RV205400-470DefaultSet.dat",
    };
    for (const char* n : names) folder.Write(n, "x");
    const std::vector<BackupEntry> list = ListBackups(folder.Dir());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].name, names[1]);
    EXPECT_EQ(list[0].serial, "B2");
    EXPECT_EQ(list[0].time, LocalTime(2026, 12, 11, 8, 0, 0));
    EXPECT_EQ(list[1].name, names[0]);
    EXPECT_EQ(list[2].name, names[2]);
}

class BackupComment : public HomeTest {};

TEST_F(BackupComment, NamesTheFileWrittenOrSaysTheConfigurationWasUnsaved)
{
    const Image image{};
    const struct {
        std::string source, comment;
    } cases[] = {
        {home.Path("fleet/site 4.dat"),
         Settings().LoadMessage(SafeWriteMessage::kBackupComment, {"site 4.dat"})},
        {"", Settings().LoadMessage(SafeWriteMessage::kBackupCommentUnsaved)},
    };
    for (const auto& c : cases) {
        std::string tried;
        const std::string path = SaveBackup(home.Dir(), image, "RV-205", "400-470", c.source, tried);
        ASSERT_FALSE(path.empty()) << tried;
        EXPECT_EQ(CDataFile::ReadComment(path), c.comment) << c.source;
        fs::remove(path);
    }
}

}  // namespace
}  // namespace rv::test
