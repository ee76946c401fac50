// The dump's field listing: the texts the editors show, next to raw bytes that stay exactly
// the file's (showing a broken tone index does not repair it).

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "data/Bytes.h"
#include "data/DataFile.h"
#include "shell/Settings.h"
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
}

}  // namespace
}  // namespace rv
