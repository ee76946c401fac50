// import and export through the program itself: a file with rows the radio cannot hold is
// refused with every row listed once and one "Nothing was written", and nothing is written;
// --fit, --skip-unfit and --rows do what they say and name what they did; CHIRP's own files go
// in with their names and come out again.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/CliProcess.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::TempHome;

const std::string kInterop = RV_RESOURCE_DIR "/../tests/fixtures/interop/";

using Output = test::CliOutcome;

size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class CsvImportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        a = work.Path("a.dat");
        out = work.Path("out.dat");
        ASSERT_EQ(Cli("new -o " + a).status, 0);
    }
    Output Cli(const std::string& args)
    {
        return test::RunCliCommandLine("--home " + home.Dir() + " " + args, work.Dir());
    }
    std::string Csv(const std::string& name, const std::string& text)
    {
        std::ofstream(work.Path(name), std::ios::binary) << text;
        return work.Path(name);
    }
    TempHome home, work;
    std::string a, out;
};

TEST_F(CsvImportTest, RowsOutsideTheBandAreRefusedOrFittedAndNeverMovedSilently)
{
    std::string text = "Location,Name,Frequency,Duplex,Offset,Tone,Mode,Power\n";
    for (int i = 1; i <= 5; ++i) text += std::to_string(i) + ",,77.687500,,0,,FM,5.0W\n";
    text += "6,,446.100000,,0,,AM,5.0W\n";
    const std::string csv = Csv("low.csv", text);

    Output r = Cli("import " + a + " --csv " + csv + " -o " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    for (int line = 2; line <= 7; ++line) {
        const std::string row = "Line " + std::to_string(line) + ", Location " +
                                std::to_string(line - 1) + " does not fit the radio";
        EXPECT_EQ(Count(r.err, row), 1u) << r.err;
    }
    EXPECT_NE(r.err.find("column Frequency: 77.68750 MHz is outside the radio's band 400-470"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("column Mode: the radio has no \"AM\""), std::string::npos) << r.err;
    EXPECT_EQ(Count(r.err, "Nothing was written"), 1u) << r.err;
    EXPECT_EQ(r.err.rfind("Nothing was written"), r.err.rfind("rvcps-cli: ") + 11) << r.err;

    // --fit mends what the rules can fit; the AM row still cannot be held.
    r = Cli("import " + a + " --csv " + csv + " --fit -o " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Count(r.err, "does not fit"), 1u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));

    // With the AM row left out: five channels at the band edge, each change named.
    r = Cli("import " + a + " --csv " + csv + " --fit --skip-unfit -o " + out);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Count(r.err, "Line 7, Location 6 left out: column Mode"), 1u) << r.err;
    EXPECT_EQ(Count(r.err, "column Frequency: 77.68750 was stored as 400.00000"), 5u) << r.err;
    const std::string exported = work.Path("out.csv");
    ASSERT_EQ(Cli("export " + out + " --csv " + exported).status, 0);
    EXPECT_EQ(Count(test::ReadFileText(exported), ",400.000000,"), 5u)
        << test::ReadFileText(exported);
}

TEST_F(CsvImportTest, AFileWithoutAPowerColumnKeepsEachChannelsPower)
{
    ASSERT_EQ(Cli("set " + a + " 'channels[2].power=Low' -o " + a).status, 0);
    const std::string csv =
        Csv("nopower.csv", "Location,Frequency\n1,440.000000\n2,440.500000\n3,441.000000\n");
    ASSERT_EQ(Cli("import " + a + " --csv " + csv + " -o " + out).status, 0);
    const std::string exported = work.Path("out.csv");
    ASSERT_EQ(Cli("export " + out + " --csv " + exported).status, 0);
    const std::string text = test::ReadFileText(exported);
    EXPECT_NE(text.find("\r\n2,,440.500000,"), std::string::npos) << text;
    EXPECT_NE(text.find(",1.0W,"), std::string::npos) << text;  // channel 2 stays Low
    EXPECT_EQ(Count(text, ",5.0W,"), 2u) << text;
}

TEST_F(CsvImportTest, ChirpListsArePickedByLocationAndKeepTheirNames)
{
    const std::string big = kInterop + "chirp-24-rows.csv";
    Output r = Cli("import " + a + " --csv " + big + " -o " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("25 channel rows, more than the radio's 16 channels"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("--rows"), std::string::npos) << r.err;

    r = Cli("import " + a + " --csv " + big + " --rows 9-24 --skip-unfit -o " + out);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Count(r.err, "left out"), 3u) << r.err;
    EXPECT_NE(r.err.find("Line 21, Location 19 left out"), std::string::npos) << r.err;
    const std::string exported = work.Path("out.csv");
    ASSERT_EQ(Cli("export " + out + " --csv " + exported).status, 0);
    const std::string text = test::ReadFileText(exported);
    EXPECT_NE(text.find("\r\n1,CH09,446.106250,"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n13,CH24,442.000000,"), std::string::npos) << text;

    // Names survive save, open, export and import.
    ASSERT_EQ(Cli("import " + a + " --csv " + kInterop + "chirp-written.csv -o " + out).status, 0);
    ASSERT_EQ(Cli("export " + out + " --csv " + exported).status, 0);
    const std::string named = test::ReadFileText(exported);
    EXPECT_NE(named.find("\r\n4,\"Quote,Name\",407.825000,"), std::string::npos) << named;
    const std::string again = work.Path("again.dat");
    ASSERT_EQ(Cli("import " + a + " --csv " + exported + " -o " + again).status, 0);
    EXPECT_EQ(Cli("diff " + out + " " + again).status, 0);
}

TEST_F(CsvImportTest, BadRowListsAreUsageErrorsAndBigFilesAreNamedInMegabytes)
{
    const std::string csv = Csv("one.csv", "Location,Frequency\n1,440\n");
    for (const char* rows : {"1-", "x", "3-1", "1,,2"}) {
        SCOPED_TRACE(rows);
        EXPECT_EQ(Cli("import " + a + " --csv " + csv + " --rows '" + rows + "' -o " + out).status,
                  2);
        EXPECT_FALSE(std::filesystem::exists(out));
    }
    const Output r = Cli("import " + a + " --csv " + csv + " --rows 2 -o " + out);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--rows names Location 2, which the file does not hold"),
              std::string::npos)
        << r.err;

    const std::string big = work.Path("big.csv");
    std::filesystem::resize_file(Csv("big.csv", "Location"), (16u << 20) + 1);
    const Output large = Cli("import " + a + " --csv " + big + " -o " + out);
    EXPECT_EQ(large.status, 1);
    EXPECT_NE(large.err.find("larger than 16 MB"), std::string::npos) << large.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace rv
