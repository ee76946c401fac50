// Adjustment, Base Band and Write Tune Data against the simulated radio over a pseudo-terminal:
// the frames sent, the mode, what the record holds afterwards, and what a radio that stops
// answering at each step leaves unchanged; the tuning entry lists and the base-band bit table.

#include <array>
#include <cstring>

#include "base/TextService.h"
#include "link/LinkTestSupport.h"
#include "service/BaseBand.h"
#include "service/TuneFieldTable.h"
#include "service/Tuning.h"

namespace rv::test {
namespace {

using sim::FaultKind;
using Bytes = std::vector<uint8_t>;

sim::SimFault Always(FaultKind kind, const char* command)
{
    sim::SimFault f{kind, command, 1, 0, std::nullopt};
    return f;
}
sim::SimFault AlwaysAt(FaultKind kind, const char* command, uint32_t argument)
{
    sim::SimFault f{kind, command, 1, 0, argument};
    return f;
}

Bytes Frame(std::initializer_list<uint8_t> bytes)
{
    return Bytes(bytes);
}

// ---- entry lists ----

TEST(TuneEntryListTest, DefinitionsGiveTheSubItemsOfTheTableOnly)
{
    struct Case {
        const char* name;
        const char* text;
        int id;
        std::vector<uint16_t> wide, middle, narrow;
        TuneGroup start;
        bool receive;
    } cases[] = {
        {"wide and narrow, blanks removed",
         " 32848 , 31775 ",
         32848,
         {0x8050, 0x8051, 0x8052, 0x8053, 0x8054},
         {},
         {0x805A, 0x805B, 0x805C, 0x805D, 0x805E},
         TuneGroup::Wide,
         false},
        {"only narrow bits: narrow group, no middle",
         "32848,1024",
         32848,
         {},
         {},
         {0x805A},
         TuneGroup::Narrow,
         false},
        {"middle only",
         "32795,992",
         32795,
         {},
         {0x8020, 0x8021, 0x8022, 0x8023, 0x8024},
         {},
         TuneGroup::Middle,
         false},
        {"receive bit", "33296,32772", 33296, {0x8212}, {}, {}, TuneGroup::Wide, true},
        // 0x8025 and 0x8026 are not tuning items: they are ignored, never taken as 0x8002.
        {"items outside the table ignored",
         "32800,97",
         32800,
         {0x8020},
         {},
         {},
         TuneGroup::Wide,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTextTable texts;
        texts.Set(TuneText::kDefinitions, std::string("1,1;bad;") + c.text + ";7,x");
        const std::optional<TuneDefinition> d = FindTuneDefinition(texts, c.id);
        ASSERT_TRUE(d);
        auto items = [](const std::vector<TuneSubItem>& g) {
            std::vector<uint16_t> v;
            for (const TuneSubItem& s : g) v.push_back(s.item);
            return v;
        };
        EXPECT_EQ(items(d->Group(TuneGroup::Wide)), c.wide);
        EXPECT_EQ(items(d->Group(TuneGroup::Middle)), c.middle);
        EXPECT_EQ(items(d->Group(TuneGroup::Narrow)), c.narrow);
        EXPECT_EQ(d->StartGroup(), c.start);
        EXPECT_EQ(d->IsReceive(), c.receive);
    }
    CTextTable texts;
    texts.Set(TuneText::kDefinitions, "32800,96");
    ASSERT_TRUE(FindTuneDefinition(texts, 32800));
    EXPECT_FALSE(FindTuneDefinition(texts, 32800)->HasSubItems());
    EXPECT_FALSE(FindTuneDefinition(texts, 1));
}

TEST(TuneEntryListTest, ListByEditionAndUserLevel)
{
    CTextTable texts;
    texts.Set(TuneText::kEntryList, "32768.Reference;33536.Power Reference;x.bad;32800.High.Power");
    texts.Set(TuneText::kEditionEntryList, "32832.Low Power");
    const std::vector<TuneEntry> full = TuneEntryList(texts, true);
    EXPECT_EQ(full, (std::vector<TuneEntry>{
                        {32768, "Reference"}, {33536, "Power Reference"}, {32800, "High.Power"}}));
    const std::vector<TuneEntry> service = TuneEntryList(texts, false);
    EXPECT_EQ(service, (std::vector<TuneEntry>{{32768, "Reference"}, {32800, "High.Power"}}));
    texts.SetEdition(true);
    EXPECT_EQ(TuneEntryList(texts, false), (std::vector<TuneEntry>{{32832, "Low Power"}}));
}

TEST(TuneEntryListTest, ShippedListsNameOnlyItemsOfTheTable)
{
    for (const char* file : {"QTX_E.lng", "QTX_S.lng"}) {
        SCOPED_TRACE(file);
        CLanguageTexts texts(std::string(RV_RESOURCE_DIR) + "/" + file);
        ASSERT_TRUE(texts.Loaded());
        for (auto [listText, defsText] :
             {std::pair{TuneText::kEntryList, TuneText::kDefinitions},
              std::pair{TuneText::kEditionEntryList, TuneText::kEditionDefinitions}}) {
            // Every flag bit of every definition names an item of the table.
            int pairs = 0;
            std::string defs = texts.LoadText(defsText);
            for (size_t at = 0; at < defs.size();) {
                size_t end = defs.find(';', at);
                if (end == std::string::npos) end = defs.size();
                int id = 0, flags = 0;
                ASSERT_EQ(std::sscanf(defs.substr(at, end - at).c_str(), "%d,%d", &id, &flags), 2);
                for (unsigned bit = 0; bit < 15; ++bit) {
                    if (flags & (1 << bit)) {
                        EXPECT_TRUE(FindTuneItemOffset(static_cast<uint16_t>(id + bit)))
                            << "entry " << id << " bit " << bit;
                    }
                }
                ++pairs;
                at = end + 1;
            }
            EXPECT_GT(pairs, 0);
            // Every entry offered has a definition with sub-items.
            CTextTable table;
            table.Set(TuneText::kEntryList, texts.LoadText(listText));
            table.Set(TuneText::kDefinitions, defs);
            const std::vector<TuneEntry> entries = TuneEntryList(table, true);
            EXPECT_FALSE(entries.empty());
            for (const TuneEntry& e : entries) {
                const std::optional<TuneDefinition> d = FindTuneDefinition(table, e.id);
                ASSERT_TRUE(d) << e.id;
                EXPECT_TRUE(d->HasSubItems()) << e.id;
                EXPECT_FALSE(e.text.empty());
            }
        }
        EXPECT_EQ(TunePointNames(texts).size(), kTuneSubItemsPerGroup);
    }
}

TEST(TuneEntryListTest, TransmitVariantAndCaptions)
{
    EXPECT_EQ(TransmitVariant(0x82FF), 'a');
    EXPECT_EQ(TransmitVariant(0x8300), 'b');
    EXPECT_EQ(TransmitVariant(0x84AF), 'b');
    EXPECT_EQ(TransmitVariant(0x84B0), 'a');
    EXPECT_EQ(TransmitCaption('a', true), 7091);
    EXPECT_EQ(TransmitCaption('a', false), 7092);
    EXPECT_EQ(TransmitCaption('b', true), 7093);
    EXPECT_EQ(TransmitCaption('b', false), 7094);
}

// ---- base-band bit table ----

TEST(BaseBandTableTest, EachControlOwnsExactlyItsBitsOnEachPage)
{
    struct Bits {
        int byte;  // record offset; 0 = no bits on that page
        unsigned first, count;
    };
    struct Case {
        int control;
        Bits tx, rx;
    } cases[] = {
        {7116, {170, 0, 3}, {181, 0, 3}}, {7118, {0, 0, 0}, {181, 4, 3}},
        {7120, {170, 3, 1}, {0, 0, 0}},   {7123, {171, 1, 4}, {0, 0, 0}},
        {7125, {171, 5, 3}, {185, 5, 3}}, {7126, {172, 0, 1}, {0, 0, 0}},
        {7127, {172, 1, 1}, {0, 0, 0}},   {7144, {172, 2, 1}, {0, 0, 0}},
        {7145, {172, 3, 1}, {0, 0, 0}},   {7141, {173, 0, 3}, {0, 0, 0}},
        {7133, {174, 0, 8}, {183, 0, 8}}, {7135, {175, 0, 8}, {184, 0, 8}},
        {7137, {176, 0, 2}, {185, 0, 2}}, {7139, {176, 2, 2}, {0, 0, 0}},
        {7129, {0, 0, 0}, {182, 0, 3}},   {7131, {0, 0, 0}, {182, 3, 3}},
    };
    EXPECT_EQ(std::size(cases), std::size(kBaseBandControls));
    for (const Case& c : cases) {
        for (BaseBandPage page : {BaseBandPage::Tx, BaseBandPage::Rx}) {
            SCOPED_TRACE(std::to_string(c.control) + (page == BaseBandPage::Tx ? " TX" : " RX"));
            const Bits& b = page == BaseBandPage::Tx ? c.tx : c.rx;
            for (uint8_t fill : {0x00, 0xFF}) {
                CTuneBlock block;
                std::memset(block.Record(), fill, block.Size());
                SetBaseBandValue(block, page, c.control, fill ? 0u : 0xFFu >> (8 - b.count));
                for (size_t i = 0; i < block.Size(); ++i) {
                    uint8_t expected = fill;
                    if (b.byte && static_cast<int>(i) == b.byte) {
                        const uint8_t mask = static_cast<uint8_t>(((1u << b.count) - 1) << b.first);
                        expected = static_cast<uint8_t>(fill ^ mask);
                    }
                    EXPECT_EQ(block.Record()[i], expected) << "byte " << i;
                }
                if (b.byte) {
                    EXPECT_EQ(GetBaseBandValue(block, page, c.control),
                              fill ? 0u : (1u << b.count) - 1);
                } else {
                    EXPECT_FALSE(GetBaseBandValue(block, page, c.control));
                }
            }
        }
    }
}

TEST(BaseBandTableTest, EnablingFollowsTheSwitchAndThePage)
{
    auto find = [](int id) {
        for (const BaseBandControl& c : kBaseBandControls)
            if (c.id == id) return c;
        return BaseBandControl{};
    };
    struct Case {
        int control;
        bool tx, rx;
    } cases[] = {
        {7116, true, true},
        {7133, true, true},
        {7125, true, true},
        {7137, true, true},
        {7118, false, true},
        {7129, false, true},
        {7131, false, true},
        {7120, true, false},
        {7141, true, false},
        // No bits on the RX page: an edit there would be lost, so the control is disabled.
        {7123, true, false},
        {7139, true, false},
        {7126, true, false},
        {7145, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        EXPECT_EQ(BaseBandEnabled(find(c.control), BaseBandPage::Tx, true), c.tx);
        EXPECT_EQ(BaseBandEnabled(find(c.control), BaseBandPage::Rx, true), c.rx);
        EXPECT_FALSE(BaseBandEnabled(find(c.control), BaseBandPage::Tx, false));
        EXPECT_FALSE(BaseBandEnabled(find(c.control), BaseBandPage::Rx, false));
    }
    CTuneBlock block;
    EXPECT_TRUE(BaseBandAllowed(block));  // default byte 169 is 0xFF
    block.Record()[169] = 0xFE;
    EXPECT_FALSE(BaseBandAllowed(block));
}

// ---- procedures against the simulated radio ----

class TuningSimTest : public SimHomeTest {
protected:
    void SetUp() override
    {
        SimHomeTest::SetUp();
        ASSERT_TRUE(link.ConnectDevice(radio->DevicePath(), true));
    }
    void Enter(RadioMode mode) { ASSERT_TRUE(link.SetRadioMode(mode)); }
    // The requests of one command ("Va") in order.
    std::vector<Bytes> Sent(char a, char b) const
    {
        std::vector<Bytes> out;
        for (const Bytes& r : radio->Requests())
            if (r.size() > 2 && r[1] == a && r[2] == b) out.push_back(r);
        return out;
    }
    CRadioProtocol link;
    CTuneBlock block;
};

TEST_F(TuningSimTest, AdjustmentVisitSendsClampedValuesAndKeepsThemOnlyWhenAcknowledged)
{
    Enter(RadioMode::Adjust);
    CAdjustment session(link, block);
    radio->SetTuneValue(0x8021, 0x1234);
    std::array<uint8_t, 2> value{};
    ASSERT_TRUE(session.ReadValue(0x8021, value).ok);
    EXPECT_EQ(value, (std::array<uint8_t, 2>{0x34, 0x12}));
    EXPECT_EQ(Sent('V', 'b').back(), Frame({0x02, 'V', 'b', 0x21, 0x80, 0x03}));
    EXPECT_EQ(radio->Mode(), 6);

    const std::array<uint8_t, 192> before = [&] {
        std::array<uint8_t, 192> b{};
        std::copy_n(block.Record(), 192, b.begin());
        return b;
    }();
    session.BeginVisit();
    ASSERT_TRUE(session.SendValue(0x8021, 300).ok);  // clamped: FF 00
    EXPECT_EQ(Sent('V', 'a').back(), Frame({0x02, 'V', 'a', 0x21, 0x80, 0xFF, 0x00, 0x03}));
    EXPECT_EQ(radio->TuneValue(0x8021), 255);
    ASSERT_TRUE(session.SendValue(0x8022, -4).ok);  // clamped: 00 00
    EXPECT_EQ(radio->TuneValue(0x8022), 0);
    ASSERT_TRUE(session.SendValue(0x8025, 77).ok);  // not in the table: sent, stored nowhere
    ASSERT_TRUE(session.SendVolume(128 + 24).ok);
    EXPECT_EQ(Sent('V', 'a').back(), Frame({0x02, 'V', 'a', 0x0B, 0x85, 152, 0x00, 0x03}));
    ASSERT_TRUE(session.SwitchTransmit(0x8021, true).ok);
    EXPECT_EQ(radio->TestVariant(), 'a');
    EXPECT_EQ(radio->TestState(), 1);
    ASSERT_TRUE(session.SwitchTransmit(0x8300, false).ok);
    EXPECT_EQ(Sent('O', 'b').back(), Frame({0x02, 'O', 'b', 0x00, 0x00, 0x03}));

    EXPECT_EQ(session.WorkingCopy()[1 + 1], 255);  // 0x8021 is at offset 2
    EXPECT_EQ(session.WorkingCopy()[3], 0);
    EXPECT_EQ(session.WorkingCopy()[0], before[0]);  // 0x8025 did not land on 0x8002
    EXPECT_TRUE(std::equal(before.begin(), before.end(), block.Record()));  // not yet kept

    // Cancel: discarded, the record unchanged.
    ASSERT_TRUE(session.EndVisit(false).ok);
    EXPECT_EQ(Sent('V', 'k').back(), Frame({0x02, 'V', 'k', 0x00, 0x00, 0x03}));
    EXPECT_TRUE(std::equal(before.begin(), before.end(), block.Record()));

    // OK: kept, the record takes the working copy.
    session.BeginVisit();
    ASSERT_TRUE(session.SendValue(0x84A2, 0x42).ok);
    ASSERT_TRUE(session.EndVisit(true).ok);
    EXPECT_EQ(Sent('V', 'j').back(), Frame({0x02, 'V', 'j', 0x00, 0x00, 0x03}));
    EXPECT_EQ(block.ItemValue(0x84A2), 0x42);
    EXPECT_EQ(block.Record()[0], before[0]);
    EXPECT_EQ(block.Record()[2], before[2]);

    EXPECT_TRUE(session.End());
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(TuningSimTest, ARadioThatStopsAnsweringNamesTheStepChangesNothingAndIsEndedLater)
{
    struct Case {
        const char* name;
        sim::SimFault fault;
        std::function<TuneResult(CAdjustment&)> step;
        int message;
        const char* stepText;
    } cases[] = {
        {"mode refused on reading", Always(FaultKind::RefuseMode, "Ma"),
         [](CAdjustment& s) {
             std::array<uint8_t, 2> v{};
             return s.ReadValue(0x8020, v);
         },
         LinkMessage::kNoRadio, "the adjustment mode"},
        {"reading an item", Always(FaultKind::NoAnswer, "Vb"),
         [](CAdjustment& s) {
             std::array<uint8_t, 2> v{};
             return s.ReadValue(0x8020, v);
         },
         TuneMessage::kReadFailed, "tuning item 0x8020"},
        {"sending an item", Always(FaultKind::NoAnswer, "Va"),
         [](CAdjustment& s) { return s.SendValue(0x8020, 9); }, TuneMessage::kSendFailed,
         "tuning item 0x8020"},
        {"sending the volume", Always(FaultKind::ShortAnswer, "Va"),
         [](CAdjustment& s) { return s.SendVolume(9); }, TuneMessage::kSendFailed,
         "the tuning volume"},
        {"switching the transmitter", Always(FaultKind::RefuseMode, "Oa"),
         [](CAdjustment& s) { return s.SwitchTransmit(0x8020, true); }, TuneMessage::kSendFailed,
         "the transmitter switch"},
        {"ending with keep", Always(FaultKind::NoAnswer, "Vj"),
         [](CAdjustment& s) { return s.EndVisit(true); }, TuneMessage::kSendFailed,
         "the end of tuning (keep the values)"},
        {"ending with discard", Always(FaultKind::NoAnswer, "Vk"),
         [](CAdjustment& s) { return s.EndVisit(false); }, TuneMessage::kSendFailed,
         "the end of tuning (discard the values)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartRadio({});
        link.Close();
        ASSERT_TRUE(link.ConnectDevice(radio->DevicePath(), true));
        Enter(RadioMode::Adjust);
        CTuneBlock record;
        const CTuneBlock original;
        CAdjustment session(link, record);
        session.BeginVisit();
        ASSERT_TRUE(session.SendValue(0x8040, 1).ok);  // a value in the working copy
        radio->AddFault(c.fault);
        const TuneResult r = c.step(session);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.step, c.stepText);
        if (c.message != LinkMessage::kNoRadio) {
            EXPECT_NE(r.Text().find(c.stepText), std::string::npos) << r.Text();
        }
        EXPECT_TRUE(std::equal(original.Record(), original.Record() + 192, record.Record()));
        // The radio answers again: the connection ends in mode 1.
        radio->ClearFaults();
        EXPECT_TRUE(session.End());
        EXPECT_EQ(radio->Mode(), 1);
        EXPECT_FALSE(link.IsOpen());
    }
}

TEST_F(TuningSimTest, WriteTuneDataSendsTwelveBlocksInOrder)
{
    Enter(RadioMode::Write);
    for (size_t i = 0; i < block.Size(); ++i) block.Record()[i] = static_cast<uint8_t>(i * 3 + 1);
    const LinkResult r = WriteTuneData(link, block);
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.message, TuneMessage::kWritten);
    const std::vector<Bytes> writes = Sent('E', 'a');
    ASSERT_EQ(writes.size(), 12u);
    for (size_t k = 0; k < writes.size(); ++k) {
        EXPECT_EQ(writes[k].size(), 27u);
        EXPECT_EQ(GetU32(&writes[k][5]), 832 + 16 * k);
    }
    const sim::Memory m = radio->GetMemory();
    EXPECT_TRUE(std::equal(m.begin() + 832, m.begin() + 1024, block.Record()));
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(TuningSimTest, WriteTuneDataThatFailsAtTheFifthBlockHasWrittenTheFirstFourOnly)
{
    const sim::Memory old = PatternMemory();
    radio->SetMemory(old);
    Enter(RadioMode::Write);
    std::memset(block.Record(), 0x5A, block.Size());
    radio->AddFault(AlwaysAt(FaultKind::NoAnswer, "Ea", 896));
    const LinkResult r = WriteTuneData(link, block);
    EXPECT_EQ(r.status, LinkStatus::BlockFailed);
    EXPECT_EQ(r.message, LinkMessage::kWriteFailed);
    EXPECT_EQ(r.number, 896);
    EXPECT_EQ(r.written, (std::vector<AddressRange>{{832, 895}}));
    EXPECT_NE(r.Text().find("896 (0x380)"), std::string::npos) << r.Text();
    const sim::Memory m = radio->GetMemory();
    for (size_t a = 0; a < m.size(); ++a)
        EXPECT_EQ(m[a], a >= 832 && a <= 895 ? 0x5A : old[a]) << "address " << a;
    EXPECT_EQ(Sent('E', 'a').size(), 4u + 3u);  // the fifth block tried three times, no sixth
    EXPECT_EQ(radio->Mode(), 1);
    EXPECT_FALSE(link.IsOpen());
}

TEST_F(TuningSimTest, BaseBandReadAndWrite)
{
    sim::Memory m = PatternMemory();
    radio->SetMemory(m);
    Enter(RadioMode::Write);
    const CTuneBlock original;
    TuneResult r = ReadBaseBand(link, block);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.message, TuneMessage::kBaseBandRead);
    EXPECT_EQ(Sent('E', 'b')[0], Frame({0x02, 'E', 'b', 0xE9, 0x03, 0, 0, 16, 0, 0x03}));
    EXPECT_EQ(Sent('E', 'b')[1], Frame({0x02, 'E', 'b', 0xF9, 0x03, 0, 0, 7, 0, 0x03}));
    EXPECT_TRUE(std::equal(m.begin() + 1001, m.begin() + 1024, block.Record() + 169));
    EXPECT_TRUE(std::equal(original.Record(), original.Record() + 169, block.Record()));

    SetBaseBandValue(block, BaseBandPage::Rx, 7133, 0x3C);
    r = WriteBaseBand(link, block);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.message, TuneMessage::kWritten);
    m[1001 + 14] = 0x3C;
    EXPECT_EQ(radio->GetMemory(), m);
    const std::vector<Bytes> writes = Sent('E', 'a');
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(GetU32(&writes[0][5]), 1001u);
    EXPECT_EQ(GetU16(&writes[0][3]), 21u);
    EXPECT_EQ(GetU32(&writes[1][5]), 1017u);
    EXPECT_EQ(GetU16(&writes[1][3]), 12u);
}

TEST_F(TuningSimTest, BaseBandFailuresNameTheBlockAndLeaveTheRecord)
{
    struct Case {
        const char* name;
        sim::SimFault fault;
        bool write;
        int message;
    } cases[] = {
        {"first read", AlwaysAt(FaultKind::NoAnswer, "Eb", 1001), false, TuneMessage::kReadFailed},
        {"second read", AlwaysAt(FaultKind::BadChecksum, "Eb", 1017), false,
         TuneMessage::kReadFailed},
        {"second write", AlwaysAt(FaultKind::NoAnswer, "Ea", 1017), true, TuneMessage::kSendFailed},
    };
    Enter(RadioMode::Write);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio->ClearFaults();
        radio->SetMemory(PatternMemory());
        radio->AddFault(c.fault);
        CTuneBlock record;
        const CTuneBlock original;
        const TuneResult r = c.write ? WriteBaseBand(link, record) : ReadBaseBand(link, record);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, c.message);
        EXPECT_NE(r.step.find(std::to_string(c.fault.argument.value())), std::string::npos)
            << r.step << " cause " << static_cast<int>(r.cause);
        EXPECT_TRUE(std::equal(original.Record(), original.Record() + 192, record.Record()));
    }
}

}  // namespace
}  // namespace rv::test
