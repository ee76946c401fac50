// What keeps Factory Mode from losing a radio's factory data: the record read before a write
// (its blocks, its backup file beside the configuration backups, never offered as one), the
// lines naming what a write changes, and the closing questions that leave band edges that can
// be no range as they are.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "base/Bytes.h"
#include "data/ModelCatalog.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "link/LinkTestSupport.h"
#include "link/SafeWrite.h"
#include "service/FactoryLink.h"

namespace rv::test {
namespace {

CRadioInfoBlock RecordWithSerial(const std::string& serial)
{
    CRadioInfoBlock info;
    info.Raw().CopyFrom(Radio().RadioInfo().Raw().Data());
    WriteText(info.Raw().Data() + CRadioInfoBlock::Offset::kSerialNumber,
              CRadioInfoBlock::Offset::kSerialNumberWidth, serial, 0);
    return info;
}

class FactoryBackupTest : public SimHomeTest {};

TEST_F(FactoryBackupTest, TheChangesOfAWriteAreNamedValueByValue)
{
    const CRadioInfoBlock onRadio = RecordWithSerial("SN-000123");
    const CRadioInfoBlock sent = RecordWithSerial("----------------");
    EXPECT_EQ(FactoryChangeLines(onRadio, sent, Settings()),
              (std::vector<std::string>{"Serial Number: SN-000123 \u2192 ----------------"}));
    EXPECT_TRUE(FactoryChangeLines(onRadio, onRadio, Settings()).empty());
    EXPECT_FALSE(SameFactoryData(onRadio, sent));
    // The marker and the model ID are no values Read shows: they do not make data differ.
    CRadioInfoBlock marked = onRadio;
    marked.Raw().CopyFrom(onRadio.Raw().Data());
    marked.SetFactoryMarker();
    EXPECT_TRUE(SameFactoryData(onRadio, marked));
}

TEST_F(FactoryBackupTest, TheBackupReadTakesEverythingTheWriteReplaces)
{
    sim::Memory memory = PatternMemory();
    WriteText(memory.data() + 72, 16, "SN-000123", 0);
    radio->SetMemory(memory);
    CRadioProtocol link;
    RadioIdentity identity;
    CRadioInfoBlock onRadio;
    const LinkResult r = FactoryReadBackup(link, onRadio, identity, radio->DevicePath());
    ASSERT_TRUE(r.Ok()) << r.Text();
    for (const TransferBlock& b : kFactoryBackupPlan)
        for (size_t k = 0; k < b.count; ++k)
            EXPECT_EQ(onRadio.Raw()[b.address - 16 + k], memory[b.address + k]) << b.address + k;
    EXPECT_EQ(onRadio.SerialNumber(), "SN-000123");

    // Saved twice in one second: two files, neither listed as a configuration backup.
    const std::string folder = home.Path("Backups");
    std::filesystem::create_directories(folder);
    std::string tried;
    const std::string first = SaveFactoryBackup(folder, onRadio, tried);
    const std::string second = SaveFactoryBackup(folder, onRadio, tried);
    ASSERT_FALSE(first.empty()) << tried;
    ASSERT_FALSE(second.empty()) << tried;
    EXPECT_NE(first, second);
    EXPECT_TRUE(ListBackups(folder).empty());
    std::string text;
    ASSERT_TRUE(ReadWholeFile(first, text));
    EXPECT_NE(text.find("serial_number=SN-000123\n"), std::string::npos);
    EXPECT_NE(text.find("0x048="), std::string::npos);  // the serial number's block
    EXPECT_NE(std::filesystem::path(first).filename().string().find("SN-000123"),
              std::string::npos);
    // A folder that is not there: nothing saved, the file tried is named.
    EXPECT_EQ(SaveFactoryBackup(home.Path("no/such"), onRadio, tried), "");
    EXPECT_NE(tried.find("no/such"), std::string::npos);
}

TEST_F(FactoryBackupTest, AFailedBackupReadLeavesTheRecord)
{
    radio.reset();  // no radio on the line
    CRadioProtocol link;
    RadioIdentity identity;
    CRadioInfoBlock onRadio = RecordWithSerial("KEPT");
    EXPECT_FALSE(FactoryReadBackup(link, onRadio, identity, home.Path("no-such-port")).Ok());
    EXPECT_EQ(onRadio.SerialNumber(), "KEPT");
}

TEST(FactoryBandEdgeTest, OnlyFrequenciesOf100To999MHzAreBandEdges)
{
    struct Case {
        uint32_t bcd;
        bool valid;
    };
    const Case cases[] = {
        {0x40000000, true},  {0x10000000, true},  {0x99999999, true},  {0x09999999, false},
        {0xFFFFFFFF, false}, {0x4000000A, false}, {0x00000000, false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsValidBandEdge(c.bcd), c.valid) << std::hex << c.bcd;
}

class FactoryCloseTest : public HomeTest {};

TEST_F(FactoryCloseTest, EdgesThatAreNoBandAndAnEmptyNameAreNeitherAskedNorReplaced)
{
    ModelCatalog().LoadRangeTable();
    CRadioInfoBlock& info = Radio().RadioInfo();
    for (size_t k = 0; k < 8; ++k) info.Raw()[CRadioInfoBlock::Offset::kLowerEdge + k] = 0xFF;
    for (size_t k = 0; k < CRadioInfoBlock::Offset::kModelNameWidth; ++k)
        info.Raw()[CRadioInfoBlock::Offset::kModelName + k] = 0;
    info.SetSignalType(static_cast<uint8_t>(Settings().Signal()));
    const std::vector<uint8_t> before(info.Raw().Data(),
                                      info.Raw().Data() + CRadioInfoBlock::kRecordSize);
    int asked = 0;
    const FactoryChanges changes = ResolveFactoryClose(info, [&](int, const std::string&) {
        ++asked;
        return true;
    });
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(changes.Any());
    EXPECT_EQ(
        std::vector<uint8_t>(info.Raw().Data(), info.Raw().Data() + CRadioInfoBlock::kRecordSize),
        before);
}

}  // namespace
}  // namespace rv::test
