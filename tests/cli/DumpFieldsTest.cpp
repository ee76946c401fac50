// The dump's field listing: the texts the editors show, next to raw bytes that stay exactly
// the file's (showing a broken tone index does not repair it).

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "base/Bytes.h"
#include "data/DataFile.h"
#include "base/Settings.h"
#include "data/FieldTable.h"
#include "report/RecordTables.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

using test::TempHome;

const std::string kCliProgram = RV_BIN_DIR "/rvcps-cli";
/// Image address of channel 1 and of its receive tone word.
constexpr size_t kChannel1 = 0x580;
constexpr size_t kChannel1RxTone = kChannel1 + 12;

/// Standard output and exit status of rvcps-cli run through the shell.
struct Output {
    int status = -1;
    std::string out;
};

Output RunCli(const std::string& args)
{
    Output r;
    FILE* pipe = ::popen((kCliProgram + " " + args + " 2>/dev/null").c_str(), "r");
    if (!pipe) return r;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) r.out.append(buf, n);
    const int rc = ::pclose(pipe);
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return r;
}

class DumpFieldsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Settings().SetReadOnly(true);
        Settings().Init(home.Dir());
        file = work.Path("a.dat");
        ASSERT_EQ(RunCli("--home " + home.Dir() + " new -o " + file).status, 0);
    }
    void TearDown() override { Settings().SetReadOnly(false); }

    /// Rewrites the data file with channel 1's receive tone word replaced.
    void SetChannel1RxTone(uint16_t word)
    {
        std::array<uint8_t, kDataFileImageSize> image{};
        ASSERT_TRUE(CDataFile::Read(file, nullptr, image));
        PutU16(&image[kChannel1RxTone], word);
        CDataFile out;
        ASSERT_TRUE(out.SetHeader(*CDataFile::ReadHeader(file)));
        ASSERT_TRUE(out.Write(file, {}, image, {}));
    }
    Output Dump(const std::string& options = {})
    {
        return RunCli("--home " + home.Dir() + " dump " + options + " " + file);
    }

    TempHome home, work;
    std::string file;
};

TEST_F(DumpFieldsTest, TextDumpListsTheFieldsAfterTheBytes)
{
    const Output dump = Dump();
    ASSERT_EQ(dump.status, 0);
    const std::string channel1 =
        "\nchannel 1 @ 0x580, 20 bytes\n"
        "  0x580: ";
    const size_t at = dump.out.find(channel1);
    ASSERT_NE(at, std::string::npos) << dump.out;
    const std::string block = dump.out.substr(at, dump.out.find("\n\n", at + 1) + 1 - at);
    const std::string lines[] = {"  rx_frequency: 400.32500\n",
                                 "  rx_ctcss: 123.0\n",
                                 "  rx_dcs: 023\n",
                                 "  rx_type: " + Settings().GetChoiceText(3668, 1) + "\n",
                                 "  spacing: " + Settings().GetChoiceText(3661, 2) + "\n",
                                 "  personality: 1\n",
                                 "  auto_start_scan: 0\n"};
    for (const std::string& line : lines)
        EXPECT_NE(block.find(line), std::string::npos) << line << block;
    EXPECT_NE(dump.out.find("  tx_time_out: " + Settings().GetChoiceText(2325, 60) + "\n"),
              std::string::npos);
}

TEST_F(DumpFieldsTest, JsonFieldsShowTheEditorsTextsWithoutRepairingTheRecord)
{
    SetChannel1RxTone(0x4000);  // analog tone, index 0: outside the table
    const Output dump = Dump("--json");
    ASSERT_EQ(dump.status, 0);
    const nlohmann::json doc = nlohmann::json::parse(dump.out);
    const auto& channels = doc["channels"];
    ASSERT_EQ(channels.size(), 16u);
    for (size_t k = 0; k < channels.size(); ++k) {
        const auto& c = channels[k];
        EXPECT_EQ(c["auto_start_scan"]["value"], k == 15 ? 1 : 0);
        EXPECT_EQ(c["auto_start_scan"]["text"], k == 15 ? "1" : "0");
    }
    const auto& first = channels[0];
    EXPECT_EQ(first["rx_ctcss"]["text"], "63.0");
    EXPECT_EQ(first["rx_ctcss"]["value"], 0) << "the stored index, not repaired";
    EXPECT_EQ(first["tx_ctcss"]["text"], "123.0");
    EXPECT_EQ(std::string(first["raw"]).substr(24, 4), "0040") << "raw as in the file";
    EXPECT_EQ(doc["personalities"][0]["tx_admit"]["text"], Settings().GetChoiceText(2321, 1));
    EXPECT_EQ(doc["personalities"][0]["tx_admit"]["value"], 1);

    // The header first, then the blocks and lists in the order of the memory image.
    const nlohmann::ordered_json ordered = nlohmann::ordered_json::parse(dump.out);
    std::vector<std::string> names;
    for (const auto& [name, value] : ordered.items()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "header", "radio_info", "keys", "volume", "microphone", "vox", "misc",
                         "mode", "personalities", "dtmf_systems", "scan_lists", "emergency",
                         "test_frequencies", "tuning", "embedded", "channels"}));
}

TEST_F(DumpFieldsTest, TextDumpLabelsEveryField)
{
    const Output dump = Dump();
    ASSERT_EQ(dump.status, 0);
    struct Case {
        std::string label, key, text;
    };
    const Case cases[] = {
        {Settings().LoadText(4429), "gain_level", Settings().GetChoiceText(4430, 3)},
        {Settings().LoadText(7309), "revert_channel", Settings().LoadText(7310)},
        {Settings().LoadText(3905 + 15), "member_16", "16"},
    };
    for (const Case& c : cases) {
        // "  <label>, padded to the record's longest label  <key>: <text>"
        const size_t at = dump.out.find("  " + c.key + ": " + c.text + "\n");
        ASSERT_NE(at, std::string::npos) << c.key;
        const size_t lineStart = dump.out.rfind('\n', at) + 1;
        const std::string line = dump.out.substr(lineStart, at - lineStart);
        EXPECT_EQ(line.rfind("  " + c.label + " ", 0), 0u) << line;
        EXPECT_EQ(line.find_first_not_of(' ', 2 + c.label.size()), std::string::npos) << line;
    }
}

// Every field of every record of every default set is decoded: its key with the stored value
// and the text the editors show, and no choice value of a default set lacks its entry in the
// language file.
TEST(DumpDefaultSetsTest, JsonDecodesEveryFieldOfEveryRecord)
{
    TempHome home;
    Settings().SetReadOnly(true);
    Settings().Init(home.Dir());
    const std::string unlisted = Settings().UnlistedValueText(0).substr(0, 6);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home.Dir())) {
        const std::string file = entry.path().string();
        if (file.size() < 14 || file.substr(file.size() - 14) != "DefaultSet.dat") continue;
        SCOPED_TRACE(file);
        ++files;
        const Output dump = RunCli("--home " + home.Dir() + " dump --json " + file);
        ASSERT_EQ(dump.status, 0);
        const nlohmann::json doc = nlohmann::json::parse(dump.out);
        for (const RecordKind& kind : RecordKinds()) {
            const FieldTable& table = *kind.table;
            std::vector<nlohmann::json> records;
            if (kind.listName) {
                ASSERT_TRUE(doc[kind.listName].is_array()) << kind.listName;
                EXPECT_FALSE(doc[kind.listName].empty()) << kind.listName;
                for (const auto& item : doc[kind.listName]) records.push_back(item);
            } else {
                records.push_back(doc[std::string(table.name)]);
            }
            for (const nlohmann::json& record : records) {
                ASSERT_TRUE(record.is_object()) << table.name;
                EXPECT_EQ(std::string(record["raw"]).size(), 2 * table.recordSize);
                for (const FieldRef& field : Fields(table)) {
                    const std::string key = field.Key();
                    ASSERT_TRUE(record.contains(key)) << table.name << "." << key;
                    const auto& f = record[key];
                    EXPECT_TRUE(f["value"].is_number() || f["value"].is_string()) << key;
                    ASSERT_TRUE(f["text"].is_string()) << key;
                    EXPECT_NE(std::string(f["text"]).rfind(unlisted, 0), 0u)
                        << table.name << "." << key << ": " << f["text"];
                }
            }
        }
    }
    EXPECT_GE(files, 11u);
    Settings().SetReadOnly(false);
}

// The README's table of keys is the one `dump --keys` makes from the tables.
TEST(DumpDefaultSetsTest, ReadmeListsTheKeysOfTheTables)
{
    TempHome home;
    const Output keys = RunCli("--home " + home.Dir() + " dump --keys");
    ASSERT_EQ(keys.status, 0);
    std::ifstream in(RV_RESOURCE_DIR "/../README.md");
    std::stringstream readme;
    readme << in.rdbuf();
    const std::string text = readme.str();
    const std::string begin = "<!-- dump-keys: begin (rvcps-cli dump --keys) -->\n";
    const std::string end = "<!-- dump-keys: end -->";
    const size_t from = text.find(begin);
    const size_t to = text.find(end);
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    EXPECT_EQ(text.substr(from + begin.size(), to - from - begin.size()), keys.out)
        << "update the README with the output of rvcps-cli dump --keys";
}

}  // namespace
}  // namespace rv
