// The command line of the three programs as a user types it: --version on each (no display,
// no resources needed), the help of every verb the usage names (exit 0, its usage lines and
// options), and how options are read (getopt_long: "--name=value", "-oFILE", "--" ends the
// options, abbreviations refused, exit codes as documented). rvsim's firmware text under its
// new name and its old spelling.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support/CliProcess.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

namespace fs = std::filesystem;
using test::TempHome;
using Args = std::vector<std::string>;

using Outcome = test::CliOutcome;

class CliOptionsTest : public ::testing::Test {
protected:
    Outcome Cli(const Args& args) const
    {
        Args all{"--home", home.Dir()};
        all.insert(all.end(), args.begin(), args.end());
        return test::RunBuiltProgram("rvcps-cli", all, work.Dir());
    }
    /// The verbs that the usage shows ("rvcps-cli [--home DIR] VERB ...").
    std::vector<std::string> Verbs() const
    {
        const Outcome usage = test::RunBuiltProgram("rvcps-cli", {"--help"}, work.Dir());
        std::set<std::string> verbs;
        const std::regex line(R"(^(usage:)? *rvcps-cli (\[--home DIR\] )?([a-z][a-z-]*))");
        std::istringstream in(usage.out);
        for (std::string l; std::getline(in, l);)
            if (std::smatch m; std::regex_search(l, m, line)) verbs.insert(m[3]);
        return {verbs.begin(), verbs.end()};
    }
    TempHome home;
    TempHome work;
};

TEST_F(CliOptionsTest, EveryProgramTellsItsVersionWithoutDisplayOrResources)
{
    // Project version, and the git revision when built from git.
    const std::regex version(R"([0-9]+\.[0-9]+(\.[0-9]+)? ?(\(git [0-9a-f]+(-dirty)?\))?\n)");
    const fs::path empty = fs::path(work.Dir()) / "empty";
    fs::create_directories(empty);
    for (const std::string program : {"rvcps-cli", "rvsim", "rvcps"}) {
        if (!fs::exists(std::string(RV_BIN_DIR) + "/" + program)) continue;  // no desktop build
        Args args{"--version"};
        if (program == "rvcps-cli") args = {"--home", empty.string(), "--version"};
        const Outcome run = test::RunBuiltProgram(program, args, work.Dir());
        EXPECT_EQ(run.status, 0) << program << ": " << run.err;
        ASSERT_EQ(run.out.rfind(program + " ", 0), 0u) << run.out;
        EXPECT_TRUE(std::regex_match(run.out.substr(program.size() + 1), version)) << run.out;
        EXPECT_EQ(run.err, "") << program;
    }
}

TEST_F(CliOptionsTest, EveryVerbHasItsHelp)
{
    const std::vector<std::string> verbs = Verbs();
    ASSERT_GE(verbs.size(), 12u);
    for (const std::string& verb : verbs) {
        for (const char* help : {"--help", "-h"}) {
            const Outcome run = Cli({verb, help});
            EXPECT_EQ(run.status, 0) << verb << " " << help << ": " << run.err;
            EXPECT_EQ(run.err, "") << verb;
            EXPECT_EQ(run.out.rfind("usage: rvcps-cli [--home DIR] " + verb, 0), 0u)
                << verb << ":\n"
                << run.out;
            EXPECT_NE(run.out.find("--home DIR"), std::string::npos) << verb;
        }
    }
}

TEST_F(CliOptionsTest, VerbHelpListsItsOptionsWithTheirValuesAndMeanings)
{
    const Outcome read = Cli({"read", "--help"});
    ASSERT_EQ(read.status, 0) << read.err;
    // Every option of the verb, its value named as in the usage line, with its meaning.
    for (const char* row :
         {"--port PORT...", "--model ID", "--range L-H", "--trace LOG", "-o FILE"})
        EXPECT_NE(read.out.find("  " + std::string(row) + " "), std::string::npos) << row << "\n"
                                                                                   << read.out;
    EXPECT_NE(read.out.find("the file to write"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("PORT is a device path"), std::string::npos) << read.out;
    // Both usage lines of dump, and its flags without values.
    const Outcome dump = Cli({"dump", "--help"});
    EXPECT_NE(dump.out.find("dump FILE [--json]\n"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("dump --keys\n"), std::string::npos) << dump.out;
    EXPECT_NE(dump.out.find("  --json "), std::string::npos) << dump.out;
    EXPECT_EQ(dump.out.find("PORT is"), std::string::npos) << dump.out;
}

TEST_F(CliOptionsTest, HelpWinsOverTheRestOfTheLine)
{
    for (const Args& args : {Args{"new", "--bogus", "--help"}, Args{"new", "--help", "--bogus"},
                             Args{"info", "a.dat", "b.dat", "-h"}}) {
        const Outcome run = Cli(args);
        EXPECT_EQ(run.status, 0) << args[1];
        EXPECT_EQ(run.out.rfind("usage: rvcps-cli [--home DIR] " + args[0], 0), 0u) << run.out;
    }
}

TEST_F(CliOptionsTest, OptionsAreReadAsGetoptReadsThem)
{
    struct Case {
        const char* what;
        Args args;  ///< "OUT" stands for a file in the work folder
        int status;
    };
    const Case cases[] = {
        {"value after =", {"new", "--model=RV305", "--range=400-470", "-o", "OUT"}, 0},
        {"value glued to a short option", {"new", "-oOUT"}, 0},
        {"options after the operand", {"info", "OUT", "--bogus"}, 2},
        {"abbreviated option", {"new", "--mod", "RV305", "-o", "OUT"}, 2},
        {"flag with a value", {"dump", "--json=yes", "OUT"}, 2},
        {"missing value at the end", {"new", "--model"}, 2},
        {"option given twice", {"new", "-o", "OUT", "-o", "OUT"}, 2},
        {"unknown global option", {"--hom", "x", "info", "OUT"}, 2},
        {"-- ends the options: '-x.dat' is a file", {"info", "--", "-x.dat"}, 1},
    };
    for (const Case& c : cases) {
        Args args = c.args;
        for (std::string& a : args) {
            if (a == "OUT") a = work.Path("out.dat");
            if (a == "-oOUT") a = "-o" + work.Path("out.dat");
        }
        fs::remove(work.Path("out.dat"));
        if (c.args.front() != "new") {
            ASSERT_EQ(Cli({"new", "-o", work.Path("out.dat")}).status, 0);
        }
        const Outcome run = Cli(args);
        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err;
        if (c.status == 2) {
            EXPECT_NE(run.err.find("usage: rvcps-cli"), std::string::npos) << c.what;
        }
        if (c.args.front() == "new" && c.status == 0) {
            EXPECT_TRUE(fs::exists(work.Path("out.dat"))) << c.what;
        }
    }
}

TEST_F(CliOptionsTest, SimulatorTakesTheFirmwareTextUnderBothNames)
{
    // A bad value of --baud stops it before it opens anything, after the firmware option was
    // read: the old spelling with a value is the firmware text, not the version request.
    for (const Args& args : {Args{"--firmware", "1.02.00.001", "--baud", "x"},
                             Args{"--version", "1.02.00.001", "--baud", "x"}}) {
        const Outcome run = test::RunBuiltProgram("rvsim", args, work.Dir());
        EXPECT_EQ(run.status, 2) << args[0];
        EXPECT_EQ(run.out, "") << args[0];
        EXPECT_NE(run.err.find("--baud"), std::string::npos) << run.err;
    }
    // Followed by another option, --version is the version request.
    const Outcome version = test::RunBuiltProgram("rvsim", {"--version", "--paced"}, work.Dir());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("rvsim ", 0), 0u) << version.out;
}

}  // namespace
}  // namespace rv
