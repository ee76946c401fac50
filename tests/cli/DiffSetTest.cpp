// diff and set through the program itself: set changes fields by their keys through the views'
// rules and diff names exactly those changes, field by field; bad keys and values write
// nothing.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

#include "base/Bytes.h"
#include "base/Settings.h"
#include "data/DataFile.h"
#include "support/CliProcess.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::TempHome;

using Output = test::CliOutcome;

class DiffSetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        a = work.Path("a.dat");
        b = work.Path("b.dat");
        ASSERT_EQ(Cli("new -o " + a).status, 0);
    }
    Output Cli(const std::string& args)
    {
        return test::RunCliCommandLine("--home " + home.Dir() + " " + args, work.Dir());
    }
    TempHome home, work;
    std::string a, b;
};

TEST_F(DiffSetTest, SetChangesFieldsThroughTheRulesAndDiffNamesThem)
{
    const Output set = Cli("set " + a +
                           " 'channels[3].rx_frequency=433.5' "
                           "'channels[2].rx_frequency=470' 'channels[1].power=Low' -o " +
                           b);
    ASSERT_EQ(set.status, 0) << set.err;

    EXPECT_EQ(Cli("diff " + a + " " + a).status, 0);
    const Output diff = Cli("diff " + a + " " + b);
    EXPECT_EQ(diff.status, 1);
    EXPECT_NE(diff.out.find("channel 3, RX Frequency[MHz]: "), std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find("\u2192 433.50000\n"), std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find("\u2192 470.00000\n"), std::string::npos) << diff.out;

    const Output json = Cli("diff --json " + a + " " + b);
    EXPECT_EQ(json.status, 1);
    const auto doc = nlohmann::json::parse(json.out);
    bool sawRx3 = false;
    for (const auto& d : doc) {
        // Only the fields set (and the step codes and in-use state that follow them) differ.
        EXPECT_EQ(d["record"], "channel") << d.dump();
        EXPECT_LE(d["index"].get<int>(), 3) << d.dump();
        if (d["index"] == 3 && d["key"] == "rx_frequency") sawRx3 = d["b"] == "433.50000";
    }
    EXPECT_TRUE(sawRx3) << json.out;
}

TEST_F(DiffSetTest, BadKeysAndValuesNameWhatIsAcceptedAndWriteNothing)
{
    struct Case {
        const char* assignment;
        const char* says;
    };
    const Case cases[] = {
        {"'channels[3].rx_frequency=abc'", "MHz"},
        {"'channels[3].spacing=30 kHz'", "\"25 kHz\""},
        {"'channels[40].rx_frequency=433.5'", "channels[40].rx_frequency"},
        {"'vox.no_such_field=1'", "vox.no_such_field"},
        {"'vox.gain_level=99'", "\"Off\""},
        // Outside the band, not a finite number, below zero: the band is named.
        {"'channels[2].rx_frequency=500'", "400.00000-470.00000 MHz"},
        {"'channels[3].rx_frequency=NaN'", "not a finite number"},
        {"'channels[3].rx_frequency=-5'", "400.00000-470.00000 MHz"},
        {"'radio_info.lower_edge=0'", "400.00000-470.00000 MHz"},
        {"'dtmf_systems[1].system_count=2'", "cannot be set"},
        {"'dtmf_systems[1].primary_id=XYZ'", "0-9, A-D, * and #, up to 8"},
    };
    for (const Case& c : cases) {
        const Output set = Cli("set " + a + " " + c.assignment + " -o " + b);
        EXPECT_NE(set.status, 0) << c.assignment;
        EXPECT_NE(set.err.find(c.says), std::string::npos) << c.assignment << ": " << set.err;
        EXPECT_FALSE(std::filesystem::exists(b)) << c.assignment;
    }
    EXPECT_EQ(Cli("set " + a + " nonsense -o " + b).status, 2);
    EXPECT_FALSE(std::filesystem::exists(b));
}

TEST_F(DiffSetTest, DiffShowsBytesOutsideFieldsByAddressAndTroubleAsTwo)
{
    // Flip a byte no field covers (behind the last channel slot) and one of channel 1.
    std::array<uint8_t, kDataFileImageSize> image{};
    ASSERT_TRUE(CDataFile::Read(a, nullptr, image));
    image[0x7D0] ^= 0x01;
    CDataFile out;
    ASSERT_TRUE(out.SetHeader(*CDataFile::ReadHeader(a)));
    ASSERT_TRUE(out.Write(b, {}, image, {}));

    const Output diff = Cli("diff " + a + " " + b);
    EXPECT_EQ(diff.status, 1);
    EXPECT_NE(diff.out.find("0x7D0: "), std::string::npos) << diff.out;

    EXPECT_EQ(Cli("diff " + a + " " + work.Path("missing.dat")).status, 2);
    EXPECT_EQ(Cli("diff " + a).status, 2);
}

TEST_F(DiffSetTest, ImportOfFewerRowsThanChannelsMendsTheReferencesAndSaves)
{
    // The default set's scan list holds all sixteen channels; the plan keeps four.
    const std::string csv = work.Path("plan.csv"), cut = work.Path("cut.csv");
    ASSERT_EQ(Cli("export " + a + " --csv " + csv).status, 0);
    std::ifstream in(csv, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t end = 0;
    for (int line = 0; line < 5; ++line) end = text.find('\n', end) + 1;
    std::ofstream(cut, std::ios::binary) << text.substr(0, end);

    const Output import = Cli("import " + a + " --csv " + cut + " -o " + b);
    ASSERT_EQ(import.status, 0) << import.err;
    EXPECT_NE(import.err.find("Scan list 1: member 5 named channel 5"), std::string::npos)
        << import.err;
    EXPECT_NE(import.err.find("member 16 named channel 16"), std::string::npos) << import.err;

    const Output diff = Cli("diff " + a + " " + b);
    EXPECT_EQ(diff.status, 1);
    EXPECT_NE(diff.out.find("scan_list 1, "), std::string::npos) << diff.out;
    EXPECT_NE(diff.out.find("channel 16: only in " + a), std::string::npos) << diff.out;
    EXPECT_EQ(diff.out.find("channel 4:"), std::string::npos) << diff.out;
}

}  // namespace
}  // namespace rv
