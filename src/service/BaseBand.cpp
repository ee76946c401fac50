#include "service/BaseBand.h"

#include <algorithm>
#include <array>
#include <string>

#include "base/Settings.h"
#include "link/Transfer.h"
#include "service/TuneFieldTable.h"

namespace rv {

namespace {

struct BaseBandBlock {
    uint16_t address;
    uint16_t count;
};
constexpr BaseBandBlock kBlocks[] = {
    {kBaseBandAddress, kBaseBandFirstCount},
    {kBaseBandAddress + kBaseBandFirstCount, kBaseBandSecondCount},
};

TuneResult BlockFailure(int message, uint16_t address, AnswerFault cause)
{
    TuneResult r;
    r.ok = false;
    r.message = message;
    r.step =
        FillStrings(Settings().LoadMessage(TuneMessage::kStepBaseBand), {AddressText(address)});
    r.cause = cause;
    return r;
}

}  // namespace

std::optional<FieldRef> BaseBandField(BaseBandPage page, int control)
{
    const std::string key = (page == BaseBandPage::Tx ? "tx_" : "rx_") + std::to_string(control);
    return FindField(kTuneFieldTable, key);
}

std::optional<uint32_t> GetBaseBandValue(const CTuneBlock& block, BaseBandPage page, int control)
{
    const std::optional<FieldRef> field = BaseBandField(page, control);
    if (!field) return std::nullopt;
    return GetNumber(*field, {block.Record(), block.Size()});
}

void SetBaseBandValue(CTuneBlock& block, BaseBandPage page, int control, uint32_t value)
{
    if (const std::optional<FieldRef> field = BaseBandField(page, control))
        SetValue(*field, BytesOf(block.Raw()), FieldValue(value));
}

bool BaseBandAllowed(const CTuneBlock& block)
{
    return (block.Record()[CTuneBlock::Offset::kBaseBand] & 0x01) != 0;
}

bool BaseBandEnabled(const BaseBandControl& control, BaseBandPage page, bool allowed)
{
    if (!allowed) return false;
    if (control.pages == BaseBandPages::TxOnly && page != BaseBandPage::Tx) return false;
    if (control.pages == BaseBandPages::RxOnly && page != BaseBandPage::Rx) return false;
    return BaseBandField(page, control.id).has_value();
}

TuneResult ReadBaseBand(CRadioProtocol& link, CTuneBlock& block)
{
    std::array<uint8_t, kBaseBandFirstCount + kBaseBandSecondCount> bytes{};
    size_t at = 0;
    for (const BaseBandBlock& b : kBlocks) {
        if (!link.ReadBlock(b.address, b.count, bytes.data() + at))
            return BlockFailure(TuneMessage::kReadFailed, b.address, link.LastFault());
        at += b.count;
    }
    std::copy(bytes.begin(), bytes.end(), block.Record() + CTuneBlock::Offset::kBaseBand);
    TuneResult r;
    r.message = TuneMessage::kBaseBandRead;
    return r;
}

TuneResult WriteBaseBand(CRadioProtocol& link, const CTuneBlock& block)
{
    const uint8_t* bytes = block.Record() + CTuneBlock::Offset::kBaseBand;
    for (const BaseBandBlock& b : kBlocks) {
        if (!link.WriteBlock(b.address, b.count, bytes))
            return BlockFailure(TuneMessage::kSendFailed, b.address, link.LastFault());
        bytes += b.count;
    }
    TuneResult r;
    r.message = TuneMessage::kWritten;
    return r;
}

}  // namespace rv
