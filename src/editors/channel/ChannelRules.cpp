#include "editors/channel/ChannelRules.h"

#include "editors/channel/ToneTables.h"
#include "editors/personality/PersonalityData.h"
#include "base/ChoiceList.h"
#include "base/Settings.h"

namespace rv {

namespace {

/// A side's analog and digital tone boxes: enabled as the type uses them when the side has a
/// frequency (or when the band does not ask for one).
void ToneBoxes(ToneType type, bool sideActive, bool& ctcss, bool& dcs)
{
    ctcss = sideActive && type == ToneType::Analog;
    dcs = sideActive && (type == ToneType::Digital || type == ToneType::DigitalInverted);
}

}  // namespace

bool BasicPageEnables::Enabled(ChannelControl control) const
{
    switch (control) {
        case ChannelControl::RxFreqBox:
            return rxFreqBox;
        case ChannelControl::TxFreqBox:
            return txFreqBox;
        case ChannelControl::RxFreqList:
            return rxFreqList;
        case ChannelControl::TxFreqList:
            return txFreqList;
        case ChannelControl::RxType:
            return rxType;
        case ChannelControl::RxCtcss:
            return rxCtcss;
        case ChannelControl::RxDcs:
            return rxDcs;
        case ChannelControl::TxType:
            return txType;
        case ChannelControl::TxCtcss:
            return txCtcss;
        case ChannelControl::TxDcs:
            return txDcs;
        default:
            return true;
    }
}

BasicPageEnables BasicPageEnableRules(const BasicPageState& state)
{
    BasicPageEnables e;
    e.showFreqLists = state.licenceFree;
    e.clearTx = !state.rxSet;
    if (!state.licenceFree) {
        // Normal bands: the transmit box needs a receive frequency; types are always open.
        e.rxFreqBox = true;
        e.txFreqBox = state.rxSet;
        e.rxFreqList = e.txFreqList = false;
        e.rxType = e.txType = true;
        ToneBoxes(state.rxType, true, e.rxCtcss, e.rxDcs);
        ToneBoxes(state.txType, true, e.txCtcss, e.txDcs);
        return e;
    }
    // Licence-free bands: each side's type and tones need that side's frequency, and the
    // transmit side needs the receive side.
    const bool txSet = state.rxSet && state.txSet;
    e.rxFreqBox = e.txFreqBox = false;
    e.rxFreqList = true;
    e.txFreqList = state.rxSet;
    e.rxType = state.rxSet;
    e.txType = txSet;
    ToneBoxes(state.rxType, state.rxSet, e.rxCtcss, e.rxDcs);
    ToneBoxes(state.txType, txSet, e.txCtcss, e.txDcs);
    return e;
}

ToneType ToneTypeOfText(int list, const std::string& text)
{
    const auto value = ChoiceValueOf(Settings().LoadText(list), text);
    if (!value || *value < 0 || *value > static_cast<int>(ToneType::DigitalInverted))
        return ToneType::None;
    return static_cast<ToneType>(*value);
}

BasicPageState BasicPageStateOf(const ChannelFields& fields, bool licenceFree)
{
    BasicPageState state;
    state.licenceFree = licenceFree;
    state.rxSet = fields.RxFreq != kNoFrequency;
    state.txSet = fields.TxFreq != kNoFrequency;
    state.rxType = ToneTypeOfText(kRxTypeList, fields.RxTypeText);
    state.txType = ToneTypeOfText(kTxTypeList, fields.TxTypeText);
    return state;
}

bool OfferNonStandardTones()
{
    return Settings().IsFullServiceLevel();
}
std::vector<std::string> PageCtcssChoices()
{
    return CtcssTexts(OfferNonStandardTones());
}
std::vector<std::string> PageDcsChoices()
{
    return DcsTexts(OfferNonStandardTones());
}

bool UpdateChannelInUse(CChannelData& channel)
{
    const uint32_t used = channel.RxFreq() != kNoFrequency ? 1 : 0;
    const bool changed = channel.used_ != used;
    channel.used_ = used;
    return changed;
}

void CopyRxToTx(CChannelData& channel)
{
    channel.SetTxFreq(channel.RxFreq());
    channel.SetTxTone(channel.RxTone());
    // The transmit step code must describe the copied frequency, not the old one.
    channel.Raw().SetBits(CChannelData::Offset::Steps, 4, 4, channel.RxStep());
    UpdateChannelInUse(channel);
}

std::vector<ItemEntry> PersonalityChoices()
{
    return FillItemCombo(Radio().Personalities(), "");
}

int PersonalityChoiceIndex(const std::vector<ItemEntry>& entries, const CChannelData& channel)
{
    return SelectItemById(entries, channel.personalityId_);
}

void ChoosePersonality(CChannelData& channel, uint32_t personalityId)
{
    Radio().InvalidLog().Withdraw(channel.PersonalityNoticeKey());
    const size_t number = Radio().PersonalityNumberOf(personalityId);
    if (number == 0) return;
    channel.personalityId_ = personalityId;
    // Byte 18 is the position in the whole personality list, not in the box (which lists only
    // the personalities in use).
    channel.SetPersonalityIndex(static_cast<uint8_t>(number - 1));
}

NoticeRecord UsedChangedNotice(const CChannelData& channel, const void* sender)
{
    NoticeRecord n;
    n.sender = sender;
    n.code = NoticeCode::UsedChanged;
    n.itemTextId = static_cast<uint32_t>(ChannelControl::RxFreqBox);
    n.key = static_cast<uint32_t>(Radio().ChannelNumberOf(channel.id_));
    return n;
}

}  // namespace rv
