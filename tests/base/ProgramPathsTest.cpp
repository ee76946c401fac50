// Where the programs find their files: a build folder (or any folder holding the resources)
// is a program directory; an installed program reads the shared resources at ../share/rvcps
// and keeps the user's Settings.ini below $XDG_CONFIG_HOME, made from the shipped one on the
// first start; the command line only reads. Backups of an installed program go to the user's
// data folder, never beside the shared resources.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "base/IniFile.h"
#include "base/Settings.h"
#include "link/SafeWrite.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

namespace fs = std::filesystem;
using test::TempHome;

/// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

/// A temporary install prefix: usr/bin without resources, usr/share/rvcps with the built
/// resources, and a home folder for the user.
class InstalledTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(Bin());
        fs::create_directories(Share());
        fs::create_directories(Home());
        for (const auto& e : fs::directory_iterator(root.Dir()))
            if (e.is_regular_file()) fs::rename(e.path(), fs::path(Share()) / e.path().filename());
    }
    void TearDown() override
    {
        Settings().SetReadOnly(false);
        Settings().Init(keep.Dir());  // the next test starts from a program directory
    }
    std::string Bin() const { return root.Path("usr/bin/"); }
    std::string Share() const { return root.Path("usr/share/rvcps/"); }
    std::string Home() const { return root.Path("home/"); }
    std::string Config() const { return root.Path("config/"); }

    TempHome root;
    TempHome keep;
    ScopedEnv home{"HOME", Home()};
    ScopedEnv config{"XDG_CONFIG_HOME", Config()};
    ScopedEnv data{"XDG_DATA_HOME", root.Path("data")};
};

TEST_F(InstalledTest, LayoutIsToldByWhereTheResourcesAre)
{
    struct Case {
        const char* what;
        std::string exeDir;
        bool installed;
        std::string resourceDir;
        std::string configDir;
    };
    TempHome buildFolder;
    const std::string empty = root.Path("empty/");
    fs::create_directories(empty);
    const Case cases[] = {
        {"a build folder holds the resources", buildFolder.Dir(), false, buildFolder.Dir(),
         buildFolder.Dir()},
        {"installed: resources from ../share/rvcps", Bin(), true, Share(), Config() + "rvcps/"},
        {"no slash at the end of the folder", Bin().substr(0, Bin().size() - 1), true, Share(),
         Config() + "rvcps/"},
        {"neither: the folder stays the program directory", empty, false, empty, empty},
    };
    for (const Case& c : cases) {
        const ProgramPaths paths = LocateProgramPaths(c.exeDir);
        EXPECT_EQ(paths.installed, c.installed) << c.what;
        EXPECT_EQ(fs::canonical(paths.resourceDir), fs::canonical(c.resourceDir)) << c.what;
        EXPECT_EQ(paths.configDir, c.configDir) << c.what;
    }
}

TEST_F(InstalledTest, ConfigFolderFollowsXdgRules)
{
    struct Case {
        const char* what;
        std::optional<std::string> xdg;
        std::string expected;
    };
    const Case cases[] = {
        {"XDG_CONFIG_HOME set", root.Path("elsewhere"), root.Path("elsewhere/rvcps/")},
        {"unset: ~/.config", std::nullopt, Home() + ".config/rvcps/"},
        {"empty: ~/.config", std::string(), Home() + ".config/rvcps/"},
        {"relative paths are ignored", std::string("relative/config"), Home() + ".config/rvcps/"},
    };
    for (const Case& c : cases) {
        ScopedEnv xdg("XDG_CONFIG_HOME", c.xdg);
        EXPECT_EQ(LocateProgramPaths(Bin()).configDir, c.expected) << c.what;
    }
}

TEST_F(InstalledTest, FirstStartCopiesTheShippedSettingsAndWritesOnlyTheUsersFile)
{
    const std::string shipped = test::ReadFileText(Share() + "Settings.ini");
    Settings().Init(LocateProgramPaths(Bin()));
    const std::string own = Config() + "rvcps/Settings.ini";
    EXPECT_EQ(Settings().SettingsPath(), own);
    EXPECT_TRUE(Settings().Installed());
    EXPECT_EQ(fs::canonical(Settings().ProgramDir()), fs::canonical(Share()));
    EXPECT_TRUE(Settings().LanguageLoaded()) << Settings().LanguageProblem();
    EXPECT_EQ(Settings().ModelID(), "RV205");

    Settings().SetModelID("RV305");
    ASSERT_TRUE(Settings().SaveAtExit());
    EXPECT_EQ(CIniFile::ReadString(own, "Setting", "ModelID"), "RV305");
    EXPECT_EQ(test::ReadFileText(Share() + "Settings.ini"), shipped);

    // The next start reads the user's file, not the shipped one.
    Settings().Init(LocateProgramPaths(Bin()));
    EXPECT_EQ(Settings().ModelID(), "RV305");
    EXPECT_EQ(Settings().UserFilesDir(), Home());
}

TEST_F(InstalledTest, CommandLineReadsTheShippedSettingsAndMakesNothing)
{
    Settings().SetReadOnly(true);
    Settings().Init(LocateProgramPaths(Bin()));
    EXPECT_EQ(fs::canonical(Settings().SettingsPath()), fs::canonical(Share() + "Settings.ini"));
    EXPECT_EQ(Settings().ModelID(), "RV205");
    EXPECT_FALSE(fs::exists(Config() + "rvcps"));
}

TEST_F(InstalledTest, SettingsFolderThatCannotBeMadeLeavesTheShippedSettings)
{
    // A file where the configuration folder should be: the settings are read, not kept.
    std::ofstream(root.Path("blocked")) << "not a folder";
    ScopedEnv xdg("XDG_CONFIG_HOME", root.Path("blocked"));
    Settings().Init(LocateProgramPaths(Bin()));
    EXPECT_EQ(fs::canonical(Settings().SettingsPath()), fs::canonical(Share() + "Settings.ini"));
    EXPECT_TRUE(Settings().LanguageLoaded());
}

TEST_F(InstalledTest, BackupsGoToTheUsersDataFolderNeverBesideTheSharedResources)
{
    Settings().Init(LocateProgramPaths(Bin()));
    const std::vector<std::string> installed =
        BackupFolderCandidates(Settings().ProgramDir(), false);
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_EQ(installed.front(), root.Path("data/rvcps/Backups"));

    // A program directory keeps its own Backups folder first.
    Settings().Init(keep.Dir());
    const std::vector<std::string> own = BackupFolderCandidates(Settings().ProgramDir(), false);
    ASSERT_EQ(own.size(), 2u);
    EXPECT_EQ(own.front(), keep.Path("Backups"));
}

}  // namespace
}  // namespace rv
