#include "editors/channel/ChannelGrid.h"

#include <cstdlib>

#include <charconv>
#include <cmath>

#include "data/RadioData.h"
#include "editors/personality/PersonalityData.h"
#include "editors/channel/ChannelRules.h"
#include "editors/common/StepCode.h"
#include "editors/channel/ToneTables.h"
#include "base/Settings.h"

namespace rv {

namespace {

constexpr size_t Col(ChannelColumn c)
{
    return static_cast<size_t>(c);
}
/// Header of the number column (not a language text).
constexpr const char* kNumberHeader = "No.";

/// Analog and digital cell kinds of one side.
void ToneCellKinds(ToneType type, CellKind& ctcss, CellKind& dcs)
{
    const bool analog = type == ToneType::Analog;
    const bool digital = type == ToneType::Digital || type == ToneType::DigitalInverted;
    ctcss = analog ? CellKind::EditableDropDown : CellKind::Fixed;
    dcs = digital ? CellKind::EditableDropDown : CellKind::Fixed;
}

/// Packed decimal of a frequency cell's text; kNoFrequency when empty. A cell that still
/// shows the stored frequency gives the stored value as it is.
uint32_t CellFrequency(const std::string& text, uint32_t stored)
{
    if (text == FormatBcdFrequency(stored)) return stored;
    const uint32_t units = FreqTextToUnits(text);
    return units == kNoFrequency ? kNoFrequency : ToBcd(units);
}

/// Step code of a stored frequency, or `kept` when there is none.
unsigned StepOfStored(uint32_t bcd, unsigned kept)
{
    if (bcd == kNoFrequency) return kept;
    uint32_t units = FromBcd(bcd);
    return static_cast<unsigned>(StepOf(units));
}

}  // namespace

std::string ChannelColumnHeader(size_t column)
{
    if (column >= kChannelGridColumns) return {};
    const int id = ChannelColumnHeaderTextId(column);
    std::string text = id == 0 ? std::string() : Settings().LoadText(id);
    // A language file without the row-number header still names the column.
    if (text.empty() && id == kNumberHeaderText) text = kNumberHeader;
    return text;
}

std::array<CellKind, kChannelGridColumns> ChannelRowKinds(ToneType rxType, ToneType txType)
{
    std::array<CellKind, kChannelGridColumns> kinds{};
    for (size_t c = 0; c < kChannelGridColumns; ++c) kinds[c] = kChannelGridLayout[c].kind;
    for (ChannelColumn c : {ChannelColumn::RxType, ChannelColumn::TxType, ChannelColumn::Spacing,
                            ChannelColumn::Power})
        kinds[Col(c)] = CellKind::EditableDropDown;
    kinds[Col(ChannelColumn::Personality)] = CellKind::Fixed;
    kinds[Col(ChannelColumn::ScanList)] = CellKind::Fixed;
    ToneCellKinds(rxType, kinds[Col(ChannelColumn::RxCtcss)], kinds[Col(ChannelColumn::RxDcs)]);
    ToneCellKinds(txType, kinds[Col(ChannelColumn::TxCtcss)], kinds[Col(ChannelColumn::TxDcs)]);
    return kinds;
}

void RetypeChannelRow(ChannelGridRow& row)
{
    row.kinds = ChannelRowKinds(ToneTypeOfText(kRxTypeList, row.cells[Col(ChannelColumn::RxType)]),
                                ToneTypeOfText(kTxTypeList, row.cells[Col(ChannelColumn::TxType)]));
}

ChannelGridRow MakeChannelRow(size_t number, const ChannelFields& f)
{
    ChannelGridRow row;
    auto cell = [&row](ChannelColumn c) -> std::string& { return row.cells[Col(c)]; };
    cell(ChannelColumn::Number) = std::to_string(number);
    cell(ChannelColumn::Alias) = f.Alias;
    cell(ChannelColumn::RxFreq) = FormatBcdFrequency(f.RxFreq);
    cell(ChannelColumn::RxType) = f.RxTypeText;
    cell(ChannelColumn::RxCtcss) = f.RxCtcssText;
    cell(ChannelColumn::RxDcs) = f.RxDcsText;
    cell(ChannelColumn::TxFreq) = FormatBcdFrequency(f.TxFreq);
    cell(ChannelColumn::TxType) = f.TxTypeText;
    cell(ChannelColumn::TxCtcss) = f.TxCtcssText;
    cell(ChannelColumn::TxDcs) = f.TxDcsText;
    cell(ChannelColumn::Spacing) = f.SpacingText;
    cell(ChannelColumn::Power) = f.PowerText;
    if (f.PersonalityIndex < Radio().Personalities().size())
        cell(ChannelColumn::Personality) = std::to_string(f.PersonalityIndex + 1);
    cell(ChannelColumn::AutoStartScan) = std::to_string(f.F6 ? 1 : 0);
    RetypeChannelRow(row);
    return row;
}

ChannelGridRow FillChannelRow(const CChannelData& channel, size_t number)
{
    return MakeChannelRow(number, channel.ShowFields());
}

std::vector<std::string> ChannelCellChoices(size_t column)
{
    switch (static_cast<ChannelColumn>(column)) {
        case ChannelColumn::RxCtcss:
        case ChannelColumn::TxCtcss:
            return CtcssTexts(true);
        case ChannelColumn::RxDcs:
        case ChannelColumn::TxDcs:
            return DcsTexts(true);
        case ChannelColumn::RxType:
        case ChannelColumn::TxType:
        case ChannelColumn::Spacing:
        case ChannelColumn::Power: {
            std::vector<std::string> out;
            for (const ChoiceEntry& e :
                 Settings().ChoiceEntries(kChannelGridLayout[column].choiceList))
                out.push_back(e.text);
            return out;
        }
        default:
            return {};
    }
}

ChannelFields ChannelRowToFields(const ChannelGridRow& row, const ChannelFields& base)
{
    ChannelFields f = base;
    auto cell = [&row](ChannelColumn c) -> const std::string& { return row.cells[Col(c)]; };
    f.Alias = cell(ChannelColumn::Alias);
    f.RxFreq = CellFrequency(cell(ChannelColumn::RxFreq), base.RxFreq);
    f.RxTypeText = cell(ChannelColumn::RxType);
    f.RxCtcssText = cell(ChannelColumn::RxCtcss);
    f.RxDcsText = cell(ChannelColumn::RxDcs);
    f.TxFreq = CellFrequency(cell(ChannelColumn::TxFreq), base.TxFreq);
    f.TxTypeText = cell(ChannelColumn::TxType);
    f.TxCtcssText = cell(ChannelColumn::TxCtcss);
    f.TxDcsText = cell(ChannelColumn::TxDcs);
    f.SpacingText = cell(ChannelColumn::Spacing);
    f.PowerText = cell(ChannelColumn::Power);
    f.F6 = std::strtol(cell(ChannelColumn::AutoStartScan).c_str(), nullptr, 10) != 0;
    return f;
}

NoticeRecord CommitChannelRow(CChannelData& channel, ChannelGridRow& row, size_t number,
                              const BandLimits& band, const void* sender)
{
    // Only the cells the user changed are written: the other fields keep their bytes (a tone
    // word outside its table, a step code from the radio, an out-of-band frequency).
    const ChannelFields shown = channel.ShowFields();
    const ChannelFields edited = ChannelRowToFields(row, shown);
    const ChannelEdits edits = ChannelEdits::Between(shown, edited);
    channel.FromFields(edited, band, edits);
    if (edits.rxFreq)
        channel.Raw().SetBits(CChannelData::Offset::Steps, 0, 4,
                              StepOfStored(channel.RxFreq(), channel.RxStep()));
    if (edits.txFreq)
        channel.Raw().SetBits(CChannelData::Offset::Steps, 4, 4,
                              StepOfStored(channel.TxFreq(), channel.TxStep()));
    // Personality and flags F1-F5 stay as they are; only "Auto Start Scan" is in the grid.
    ChannelFields flags;
    channel.GetFlags(flags);
    flags.F6 = edited.F6;
    channel.SetFlags(flags);
    UpdateChannelInUse(channel);

    const std::string alias = row.cells[Col(ChannelColumn::Alias)];
    row = FillChannelRow(channel, number);
    row.cells[Col(ChannelColumn::Alias)] = alias;

    NoticeRecord n;
    n.sender = sender;
    n.code = NoticeCode::RowCommitted;
    n.flags = kRowCommittedFlags;
    n.key = static_cast<uint32_t>(number);
    return n;
}

EditResult EditChannelField(CChannelData& channel, size_t number, std::string_view key,
                            std::string_view text, const BandLimits& band,
                            const CTextService& texts)
{
    const std::string prefix = RecordPrefix("channels", number);
    const auto target = TargetOf(kChannelFieldTable, key, prefix);
    if (!target) return EditResult::Refused(EditMessage::kBadValue, {prefix + std::string(key)});
    const FieldDef& def = *target->field.def;
    const auto record = BytesOf(channel.Raw());
    const FrequencyLimits limits{band.LowUnits(), band.HighUnits()};
    size_t column = kChannelGridColumns;
    for (size_t c = 0; c < kChannelGridColumns; ++c)
        if (kChannelGridLayout[c].field == def.key && kChannelGridLayout[c].kind != CellKind::Fixed)
            column = c;
    if (def.key == "personality" && !text.empty() && text != GetText(target->field, record, texts)) {
        // Only a personality in use can be named.
        const auto& personalities = Radio().Personalities();
        const bool digits = text.size() <= 2 && text.find_first_not_of("0123456789") == text.npos;
        const size_t n = digits ? std::stoul(std::string(text)) : 0;
        if (n == 0 || n > personalities.size() || !personalities[n - 1]->used_) {
            std::string used;
            for (size_t i = 0; i < personalities.size(); ++i)
                if (personalities[i]->used_)
                    used += (used.empty() ? "" : ", ") + std::to_string(i + 1);
            return EditResult::Refused(EditMessage::kBadValue,
                                       {target->name, std::string(text), used});
        }
    }
    if (!def.Settable() || column == kChannelGridColumns || def.key == "personality") {
        EditResult result = EditPlainField(*target, record, text, texts);
        // A new personality is linked at once, so that the save keeps it.
        if (result.Ok() && !result.changes.empty() && def.key == "personality")
            channel.ResolveLinks();
        return result;
    }
    const std::string before = GetText(target->field, record, texts);
    if (text == before) return {};
    std::vector<std::string> refusal{target->name, std::string(text),
                                     AcceptedValues(target->field, record, texts, limits)};
    // The checks the grid's cells make as the user types, and the band.
    double number_ = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number_);
    const bool isNumber = !text.empty() && ec == std::errc() && end == text.data() + text.size();
    const CellKind kind = kChannelGridLayout[column].kind;
    if (isNumber && !std::isfinite(number_))
        return EditResult::Refused(EditMessage::kNotFinite, refusal);
    if (kind == CellKind::Frequency && !text.empty()) {
        const auto units = ExactFrequencyUnits(text, kNoFrequency);
        if (!units) return EditResult::Refused(isNumber ? EditMessage::kOutOfRange
                                                        : EditMessage::kBadValue,
                                               refusal);
        if (*units < limits.low || *units > limits.high)
            return EditResult::Refused(EditMessage::kOutOfRange, refusal);
    }
    if (kind == CellKind::Frequency && text.empty() && def.key == "rx_frequency")
        return EditResult::Refused(EditMessage::kBadValue, refusal);
    if (kind == CellKind::DropDown && kChannelGridLayout[column].choiceList &&
        !ChoiceValueOf(texts.LoadText(kChannelGridLayout[column].choiceList), text))
        return EditResult::Refused(EditMessage::kBadValue, refusal);
    if (kind == CellKind::EditableDropDown && !isNumber)
        return EditResult::Refused(EditMessage::kBadValue, refusal);
    if (def.kind == FieldKind::Flag && text != "0" && text != "1")
        return EditResult::Refused(EditMessage::kBadValue, refusal);

    const CFieldForm shown = ToForm(kChannelFieldTable, record, texts);
    ChannelGridRow row = FillChannelRow(channel, number);
    row.cells[column] =
        kind == CellKind::Frequency ? CommitFrequencyCell(text, band).text : std::string(text);
    RetypeChannelRow(row);
    EditResult result;
    result.notices.push_back(CommitChannelRow(channel, row, number, band));
    const CFieldForm after = ToForm(kChannelFieldTable, record, texts);
    for (const CFieldForm::Entry& e : after.Entries()) {
        const auto field = FindField(kChannelFieldTable, e.key);
        if (e.key != def.key && (field->def->levels == kSeenByNone)) continue;
        NoteChange(result, prefix + e.key, shown.Text(e.key), e.text,
                   e.key == def.key ? 0 : EditReason::kChannelRules);
    }
    return result;
}

}  // namespace rv
