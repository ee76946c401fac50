// `set` keeps every edit it reports or refuses it: references reach the saved file, the rules
// of the views run (a value a rule moved is named on stderr), and `set --from` applies a
// `dump --json` document so exactly that a new file of the same model and range becomes the
// dumped file byte for byte.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/DataFile.h"
#include "support/CliProcess.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::TempHome;

using Output = test::CliOutcome;

using Image = std::array<uint8_t, kDataFileImageSize>;

Image ImageOf(const std::string& path)
{
    Image image{};
    EXPECT_TRUE(CDataFile::Read(path, nullptr, image)) << path;
    return image;
}

class SetFromTest : public ::testing::Test {
protected:
    /// rvcps-cli with the home and args; its standard output into outFile when one is given.
    Output Cli(const std::string& args, const std::string& outFile = "")
    {
        return test::RunCliCommandLine("--home " + home.Dir() + " " + args, work.Dir(), outFile);
    }
    /// The round trip: dump --json A, new file of A's model and range, set --from, and the
    /// saved file equals A in its image and by `diff`.
    void ExpectRoundTrip(const std::string& a)
    {
        const auto header = CDataFile::ReadHeader(a);
        ASSERT_TRUE(header);
        const std::string json = work.Path("a.json"), fresh = work.Path("fresh.dat"),
                          b = work.Path("b.dat");
        std::filesystem::remove(b);
        ASSERT_EQ(Cli("dump --json " + a, json).status, 0);
        ASSERT_EQ(Cli("new --model " + header->ModelId() + " --range " + header->RangeText() +
                      " -o " + fresh)
                      .status,
                  0);
        const Output set = Cli("set " + fresh + " --from " + json + " -o " + b);
        ASSERT_EQ(set.status, 0) << set.err;
        EXPECT_EQ(ImageOf(b), ImageOf(a));
        const Output diff = Cli("diff " + a + " " + b, work.Path("diff.txt"));
        EXPECT_EQ(diff.status, 0) << test::ReadFileText(work.Path("diff.txt"));
    }
    TempHome home, work;
};

// Every default set the build made, as a file.
TEST_F(SetFromTest, DumpedDefaultSetsComeBackExactly)
{
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(RV_BIN_DIR)) {
        const std::string name = e.path().filename().string();
        if (!name.ends_with("DefaultSet.dat")) continue;
        SCOPED_TRACE(name);
        ExpectRoundTrip(e.path().string());
        ++files;
    }
    EXPECT_GT(files, 5);
}

/// A default set with bytes written into its image as a radio may hold them.
struct ImagePatch {
    size_t address;
    std::vector<uint8_t> bytes;
};
struct UnusualFile {
    const char* name;
    const char* defaultSet;
    std::vector<ImagePatch> patches;
};

class SetFromUnusual : public SetFromTest, public ::testing::WithParamInterface<UnusualFile> {};

TEST_P(SetFromUnusual, DumpedImageComesBackExactly)
{
    const UnusualFile& u = GetParam();
    const std::string source = std::string(RV_BIN_DIR) + "/" + u.defaultSet;
    CDataFile file;
    const auto header = CDataFile::ReadHeader(source);
    ASSERT_TRUE(header && file.SetHeader(*header));
    Image image = ImageOf(source);
    for (const ImagePatch& p : u.patches)
        std::copy(p.bytes.begin(), p.bytes.end(), image.begin() + p.address);
    const std::string a = work.Path("unusual.dat");
    ASSERT_TRUE(file.Write(a, {}, image, ""));
    ExpectRoundTrip(a);
}

// Image addresses: keys 120, mode 295, emergency 592, test frequencies 624, tuning 832, the
// scan lists 528, a DTMF system 1376.
const UnusualFile kUnusualFiles[] = {
    {"RulesAsStored",
     "RV205400-470DefaultSet.dat",
     {{120, {28, 28, 75, 75, 0x63, 79}},
      {279, {0xF1}},
      {296, {0xC7}},
      {592, {0xFF, 40, 0xF8, 0xE2, 0x1A, 0x2B, 0x3C, 0x4D, 0xFF, 0xFF, 0xFF, 0xFF, 0x08}}}},
    {"EmergencyTypes",
     "RV305136-174DefaultSet.dat",
     {{592,
       {0x0A, 0, 0xFC, 0x04, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0x04, 0xFF, 0xFF, 0xFF, 0xFF,
        0xFF}}}},
    {"ServiceRecords",
     "RV385136-174DefaultSet.dat",
     {{624, {0x12, 0x34, 0x56, 0x78, 0xFF, 0x00, 0xAB, 0xCD, 0x9F, 0xF9}},
      {832, {0x00, 0x7F, 0x80, 0xFF, 0x01, 0x02}},
      {528 + 16, {0x04, 0x03, 0x02, 0x01}}}},
    {"AllFFRecords",
     "RV205136-174DefaultSet.dat",
     {{120, std::vector<uint8_t>(11, 0xFF)},
      {295, {0xFF, 0xFF}},
      {592, std::vector<uint8_t>(32, 0xFF)}}},
};

INSTANTIATE_TEST_SUITE_P(Files, SetFromUnusual, ::testing::ValuesIn(kUnusualFiles),
                         [](const ::testing::TestParamInfo<UnusualFile>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SetFromTest, ReferencesAreSavedAsSetAndMissingChannelsRefused)
{
    const std::string a = work.Path("a.dat"), b = work.Path("b.dat"), json = work.Path("b.json");
    ASSERT_EQ(Cli("new -o " + a).status, 0);
    const Output set = Cli("set " + a +
                           " 'scan_lists[1].member_3=5' 'scan_lists[1].designated_channel=7'"
                           " 'scan_lists[1].priority_1_channel=9' 'emergency.revert_channel=3'"
                           " -o " +
                           b);
    ASSERT_EQ(set.status, 0) << set.err;
    const Image image = ImageOf(b);
    EXPECT_EQ(image[528 + 16 + 2], 5);
    EXPECT_EQ(image[528 + 11], 7);
    EXPECT_EQ(image[528 + 8], 9);
    EXPECT_EQ(image[592 + 1], 3);

    std::filesystem::remove(b);
    const Output missing = Cli("set " + a + " 'scan_lists[1].member_3=40' -o " + b);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Channels in use: 1, 2,"), std::string::npos) << missing.err;
    EXPECT_FALSE(std::filesystem::exists(b));
}

// The rules of the views through set: what moved is named, a refused edit writes nothing.
TEST_F(SetFromTest, RulesOfTheViewsRunAndNameWhatTheyMoved)
{
    struct Case {
        const char* name;
        const char* edits;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"VoxOffFreesSideKeys", "'vox.gain_level=Off'", 0,
         "keys.sk1_long: VOX On/Off \u2192 None, VOX is off."},
        {"VoxKeyWhileVoxOff", "'vox.gain_level=Off' 'keys.sk2_short=VOX On/Off'", 1,
         "VOX On/Off can only be assigned to a side key while VOX is switched on"},
        {"NotOfferedByTheModel", "'keys.sk1_short=Scrambler On/Off'", 1,
         "this model does not offer that function"},
        {"TopKeyPair", "'keys.tk_long=Emergency Off'", 0,
         "keys.tk_short: Emergency Off \u2192 Emergency On, the top key pairs"},
        {"FactoryCloneWithoutClone", "'mode.factory_clone=1'", 1,
         "can only be switched on while Clone Mode is on"},
        {"CloneOff", "'mode.clone=1' 'mode.factory_clone=1' 'mode.clone=0'", 0,
         "mode.factory_clone: 1 \u2192 0, Clone Mode is off."},
        {"IdTypeSetsSendMode", "'emergency.id_type=Fleet ID'", 0,
         "emergency.send_mode: Impolite \u2192 Polite, it follows the emergency ID type."},
        {"DerivedField", "'emergency.id_length=3'", 1,
         "emergency.id_length follows the emergency ID and its type; it cannot be set."},
    };
    const std::string a = work.Path("a.dat"), b = work.Path("b.dat");
    ASSERT_EQ(Cli("new -o " + a).status, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(b);
        const Output set = Cli("set " + a + " " + c.edits + " -o " + b);
        EXPECT_EQ(set.status, c.status) << set.err;
        EXPECT_NE(set.err.find(c.says), std::string::npos) << set.err;
        EXPECT_EQ(std::filesystem::exists(b), c.status == 0);
    }
}

TEST_F(SetFromTest, DocumentsGoThroughTheSameRulesAndChecks)
{
    const std::string a = work.Path("a.dat"), b = work.Path("b.dat");
    ASSERT_EQ(Cli("new -o " + a).status, 0);
    struct Case {
        const char* name;
        const char* document;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {"SubsetThroughTheRules", R"({"vox": {"gain_level": {"text": "Off"}}})", 0,
         "keys.sk1_long: VOX On/Off \u2192 None, VOX is off."},
        {"ValueWithoutText", R"({"channels": [{"power": {"value": 0}}]})", 0, ""},
        {"DerivedDisagrees", R"({"dtmf_systems": [{"id_length": {"text": "2"}}]})", 1,
         "dtmf_systems[1].id_length is \"2\" in the document, but the other fields give \"8\""},
        {"RefusedValue", R"({"channels": [{"rx_frequency": {"text": "NaN"}}]})", 1,
         "not a finite number"},
        {"BrokenRaw", R"({"keys": {"raw": "00"}})", 1, "keys.raw must be the record's 11 bytes"},
        {"TooManyScanLists", R"({"scan_lists": [{}, {}, {}]})", 1, "has 3 items"},
        {"NotJson", "{not json", 1, "is not a configuration document"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string doc = work.Path("doc.json");
        std::ofstream(doc) << c.document;
        std::filesystem::remove(b);
        const Output set = Cli("set " + a + " --from " + doc + " -o " + b);
        EXPECT_EQ(set.status, c.status) << set.err;
        EXPECT_NE(set.err.find(c.says), std::string::npos) << set.err;
        EXPECT_EQ(std::filesystem::exists(b), c.status == 0);
    }
}

}  // namespace
}  // namespace rv
