// Compare of the configuration being edited with a data file read beside it: the file's
// records are those the loader would make, reading it leaves the radio data, the document and
// the settings alone, and a file that cannot be read says why.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/Settings.h"
#include "data/DataFile.h"
#include "data/Document.h"
#include "data/MemoryMap.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/general/VoxBlock.h"
#include "editors/personality/PersonalityData.h"
#include "editors/scan/ScanData.h"
#include "report/ConfigCompare.h"
#include "support/TestSupport.h"

namespace rv {
namespace {

class QuietUi : public DocumentUi {
public:
    bool AskYesNo(int, const std::string&) override { return true; }
    void ShowMessage(int, const std::string&) override {}
};

/// A record as compare sees it, for comparing two snapshots.
struct RecordView {
    std::string kind;
    size_t index;
    size_t address;
    std::vector<uint8_t> bytes;
    bool operator==(const RecordView&) const = default;
};

std::vector<RecordView> Records(const ConfigSnapshot& s)
{
    std::vector<RecordView> out;
    for (const ConfigSnapshot::Record& r : s.records)
        out.push_back({std::string(r.kind->table->name), r.index, r.address, r.bytes});
    return out;
}

/// The snapshot of the radio data after an image was loaded into it.
ConfigSnapshot LoadedSnapshot(const Image& image)
{
    RadioData& radio = Radio();
    radio.MemoryImage() = image;
    radio.MemoryMap().LoadFromImage(radio.MemoryImage());
    return TakeSnapshot(radio, {});
}

/// The packed image of the radio data after edit changed it.
template <class Edit>
Image PackedAfter(const Image& start, Edit edit)
{
    LoadedSnapshot(start);
    edit(Radio());
    Image image = start;
    Radio().MemoryMap().StoreToImage(image);
    return image;
}

class ConfigCompareTest : public test::HomeTest {
protected:
    /// Saves the radio data as a data file in the program directory.
    std::string Save(const std::string& name, const std::string& comment = "plan")
    {
        CQTXDoc doc(ui);
        const std::string path = home.Path(name);
        EXPECT_TRUE(doc.SaveTo(path, comment).Ok());
        return path;
    }
    QuietUi ui;
};

TEST_F(ConfigCompareTest, AnImageGivesTheRecordsTheLoaderMakesOfIt)
{
    std::vector<std::pair<std::string, Image>> images;
    for (const auto& entry : std::filesystem::directory_iterator(home.Dir())) {
        const std::string file = entry.path().string();
        if (!file.ends_with("DefaultSet.dat")) continue;
        Image image{};
        ASSERT_TRUE(CDataFile::Read(file, nullptr, image)) << file;
        images.emplace_back(entry.path().filename().string(), image);
    }
    ASSERT_FALSE(images.empty());
    const Image base = images.front().second;
    // Lists shorter than their slots, each ended where the loader stops.
    images.emplace_back("three channels",
                        PackedAfter(base, [](RadioData& r) { r.Channels().resize(3); }));
    images.emplace_back("one channel, one personality, one scan list",
                        PackedAfter(base, [](RadioData& r) {
                            r.Channels().resize(1);
                            r.Personalities().resize(1);
                            r.ScanLists().resize(1);
                        }));
    images.emplace_back("sixteen of each", PackedAfter(base, [](RadioData& r) {
                            while (r.Channels().size() < kMaxChannels) r.AddChannel();
                            while (r.Personalities().size() < kMaxPersonalities) r.AddPersonality();
                            while (r.ScanLists().size() < kMaxScanLists) r.AddScanList();
                        }));
    Image erased;
    erased.fill(0xFF);
    images.emplace_back("erased memory", erased);

    for (const auto& [name, image] : images) {
        SCOPED_TRACE(name);
        const ConfigSnapshot read = SnapshotOfImage(image, {});
        EXPECT_EQ(Records(read), Records(LoadedSnapshot(image)));
        EXPECT_EQ(read.image, image);
    }
}

TEST_F(ConfigCompareTest, TheDocumentComparedWithAFileNamesWhatWasChanged)
{
    const std::string plan = Save("plan.dat");
    RadioData& radio = Radio();
    // As saved, header and comment included, the configuration and the file are equal.
    const SnapshotFile same = ReadSnapshotFile(plan);
    ASSERT_TRUE(same.snapshot);
    ConfigSnapshot saved = TakeSnapshot(radio, HeaderLinesOf(CQTXDoc::BuildHeader(), "plan"));
    saved.image = radio.MemoryMap().PackedImage(false);
    EXPECT_TRUE(CompareConfigs(saved, *same.snapshot, Settings()).empty());

    // The user edits: channel 3's receive frequency, the VOX delay, and drops the last channel.
    const size_t channels = radio.Channels().size();
    ASSERT_GE(channels, 4u);
    radio.Channels()[2]->SetRxFreq(0x43350000);
    radio.Vox().Raw()[1] = static_cast<uint8_t>(radio.Vox().Raw()[1] == 0 ? 1 : 0);
    radio.Channels().pop_back();
    const Image packed = radio.MemoryMap().PackedImage(false);
    const std::vector<uint8_t> channelThree(BytesOf(radio.Channels()[2]->Raw()).begin(),
                                            BytesOf(radio.Channels()[2]->Raw()).end());

    const SnapshotFile file = ReadSnapshotFile(plan);
    ASSERT_TRUE(file.snapshot);
    // Reading the file took nothing into the radio data.
    EXPECT_EQ(radio.Channels().size(), channels - 1);
    EXPECT_EQ(std::vector<uint8_t>(BytesOf(radio.Channels()[2]->Raw()).begin(),
                                   BytesOf(radio.Channels()[2]->Raw()).end()),
              channelThree);

    ConfigSnapshot mine = TakeSnapshot(radio, HeaderLinesOf(CQTXDoc::BuildHeader(), "plan"));
    mine.image = packed;
    const std::vector<Difference> diffs = CompareConfigs(mine, *file.snapshot, Settings());
    // The edits, and the ring links of the channels around the one dropped.
    struct Expected {
        std::string record;
        size_t index;
        std::string key;
    };
    const std::vector<Expected> expected = {{"vox", 0, "delay_time"},
                                            {"channel", 1, "prev_link"},
                                            {"channel", 3, "rx_frequency"},
                                            {"channel", channels - 1, "next_link"},
                                            {"channel", channels, ""}};
    ASSERT_EQ(diffs.size(), expected.size());
    for (size_t k = 0; k < diffs.size(); ++k) {
        SCOPED_TRACE(DifferenceLine(diffs[k], "only here", "only there"));
        EXPECT_EQ(diffs[k].record, expected[k].record);
        EXPECT_EQ(diffs[k].index, expected[k].index);
        EXPECT_EQ(diffs[k].key, expected[k].key);
    }
    const std::string rx = "channel 3, " + diffs[2].label + ": 433.50000 \u2192 ";
    EXPECT_EQ(DifferenceLine(diffs[2], "", "").rfind(rx, 0), 0u);
    EXPECT_EQ(diffs[4].kind, DifferenceKind::Record);
    EXPECT_EQ(diffs[4].b, "B");

}

TEST_F(ConfigCompareTest, AFileThatCannotBeComparedSaysWhyAndChangesNothing)
{
    const std::string good = Save("good.dat");
    const std::vector<unsigned char> bytes = test::ReadBytes(good);
    auto variant = [&](const std::string& name, auto change) {
        std::vector<unsigned char> b = bytes;
        change(b);
        std::ofstream(home.Path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        return home.Path(name);
    };
    const size_t header = CDataFile::kHeaderOffset;
    struct Case {
        std::string what, path;
        int message;
    };
    const std::vector<Case> cases = {
        {"missing", home.Path("none.dat"), DocMessage::kReadFailed},
        {"cut short", variant("short.dat", [](auto& b) { b.resize(b.size() - 100); }),
         DocMessage::kReadFailed},
        {"not a data file", variant("magic.dat", [](auto& b) { b[0] = 'X'; }),
         DocMessage::kReadFailed},
        {"unknown model",
         variant("model.dat", [&](auto& b) { b[header + CDataFileHeader::Offset::ModelId] = 'Z'; }),
         DocMessage::kUnknownModel},
        {"newer version",
         variant("newer.dat",
                 [&](auto& b) { b[header + CDataFileHeader::Offset::RadioVersion + 3] = '9'; }),
         DocMessage::kVersionNewer},
        {"older version",
         variant("older.dat",
                 [&](auto& b) { b[header + CDataFileHeader::Offset::RadioVersion] = '0'; }),
         DocMessage::kVersionOlder},
    };
    const Image image = Radio().MemoryImage();
    const std::string model = Settings().ModelID();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SnapshotFile file = ReadSnapshotFile(c.path);
        EXPECT_FALSE(file.snapshot);
        EXPECT_EQ(file.message, c.message);
        EXPECT_EQ(Radio().MemoryImage(), image);
        EXPECT_EQ(Settings().ModelID(), model);
    }
}


TEST_F(ConfigCompareTest, TonesASideDoesNotUseAreNoDifference)
{
    // Channel 1's receive side is DCS in both: its CTCSS tone (the same bits read through the
    // other table) is not reported. Channel 2 changes from CTCSS to DCS: the type and the new
    // code are reported, the CTCSS tone B no longer uses shows none.
    const Image start = Radio().MemoryMap().PackedImage(false);
    const auto word = [](ToneType t, uint16_t i) { return CChannelData::MakeToneWord(t, i); };
    const Image a = PackedAfter(start, [&](RadioData& radio) {
        radio.Channels()[0]->SetRxTone(word(ToneType::Digital, 2));
        radio.Channels()[1]->SetRxTone(word(ToneType::Analog, 10));
    });
    const Image b = PackedAfter(start, [&](RadioData& radio) {
        radio.Channels()[0]->SetRxTone(word(ToneType::Digital, 30));
        radio.Channels()[1]->SetRxTone(word(ToneType::Digital, 10));
    });
    const std::vector<Difference> diffs =
        CompareConfigs(SnapshotOfImage(a, {}), SnapshotOfImage(b, {}), Settings());
    std::vector<std::string> rows;
    for (const Difference& d : diffs) rows.push_back(std::to_string(d.index) + " " + d.key + ": " +
                                                     d.a + " -> " + d.b);
    const std::vector<std::string> want = {
        "1 rx_dcs: 023 -> 155",
        "2 rx_type: CTCSS -> DCS",
        "2 rx_ctcss: 88.5 -> ",
        "2 rx_dcs:  -> 050",
    };
    EXPECT_EQ(rows, want);
}

}  // namespace
}  // namespace rv
