#include "editors/channel/ChannelCsv.h"

#include <csv.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "base/ChoiceList.h"
#include "base/NumberText.h"
#include "base/TextService.h"
#include "data/FieldTable.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelGrid.h"
#include "editors/channel/ChannelRules.h"
#include "editors/channel/ToneTables.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/scan/ScanData.h"

namespace rv {
namespace {

enum Column : size_t {
    Location,
    Name,
    Frequency,
    Duplex,
    OffsetCol,
    Tone,
    RToneFreq,
    CToneFreq,
    DtcsCode,
    DtcsPolarity,
    RxDtcsCode,
    CrossMode,
    Mode,
    TStep,
    Skip,
    Power,
    Comment,
    Urcall,
    Rpt1call,
    Rpt2call,
    Dvcode,
    kColumnCount
};
constexpr std::array<const char*, kColumnCount> kHeader = {
    "Location",  "Name",     "Frequency",    "Duplex",     "Offset",    "Tone",     "rToneFreq",
    "cToneFreq", "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode",     "TStep",
    "Skip",      "Power",    "Comment",      "URCALL",     "RPT1CALL",  "RPT2CALL", "DVCODE"};

constexpr size_t Col(ChannelColumn c)
{
    return static_cast<size_t>(c);
}

/// Highest CSV input read (a channel plan is a few kilobytes).
constexpr size_t kMaxCsvBytes = 4u << 20;

// ---- writing ---------------------------------------------------------------------------

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos && text.find(' ') != 0) return text;
    std::string out(text.size() * 2 + 2, '\0');
    out.resize(csv_write(out.data(), out.size(), text.data(), text.size()));
    return out;
}

std::string UnitsText(uint32_t units)
{
    return DecimalText(units / 100000.0, 5);
}

std::string StepText(unsigned code)
{
    switch (static_cast<StepCode>(code)) {
        case StepCode::Step5k:
            return "5.00";
        case StepCode::Step6k25:
            return "6.25";
        case StepCode::Step12k5:
            return "12.50";
        case StepCode::Step10k:
            return "10.00";
    }
    return "";
}

bool IsDigital(ToneType t)
{
    return t == ToneType::Digital || t == ToneType::DigitalInverted;
}

// ---- reading ---------------------------------------------------------------------------

/// Converts bytes of an encoding to UTF-8; nothing when they are not text of it.
std::optional<std::string> ToUtf8(std::string_view bytes, const char* from)
{
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

bool IsUtf8(std::string_view s)
{
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80         ? 1
                         : (c >> 5) == 6  ? 2
                         : (c >> 4) == 14 ? 3
                         : (c >> 3) == 30 ? 4
                                          : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

std::optional<std::string> DecodeText(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    else if (bytes.substr(0, 2) == "\xFF\xFE")
        return ToUtf8(bytes.substr(2), "UTF-16LE");
    else if (bytes.substr(0, 2) == "\xFE\xFF")
        return ToUtf8(bytes.substr(2), "UTF-16BE");
    if (IsUtf8(bytes)) return std::string(bytes);
    return ToUtf8(bytes, "GB18030");
}

struct CsvRows {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> field;
    size_t limit = 0;  ///< stops keeping rows past this many (they are still counted)
    size_t count = 0;
};

void OnField(void* s, size_t len, void* data)
{
    auto* r = static_cast<CsvRows*>(data);
    r->field.emplace_back(static_cast<const char*>(s), len);
}
void OnRow(int, void* data)
{
    auto* r = static_cast<CsvRows*>(data);
    ++r->count;
    if (r->rows.size() < r->limit) r->rows.push_back(std::move(r->field));
    r->field.clear();
}

std::string Trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

std::optional<double> Number(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    const std::optional<double> v = ReadDecimal(text);
    if (!v || *v < 0 || *v > 1e6) return std::nullopt;
    return v;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

namespace {

/// The power levels by their exchange names, whatever the program's language: a plan exported
/// in one language reads in another and in other programming tools. Index = stored level.
constexpr std::string_view kCsvPowerNames[] = {"Low", "Middle", "High"};

/// The exchange name of a power text of the power list (the text itself when the level has no
/// exchange name).
std::string CsvPowerName(const std::string& powers, const std::string& text)
{
    for (const ChoiceEntry& e : ParseChoiceList(powers))
        if (e.text == text && e.value >= 0 && e.value < int(std::size(kCsvPowerNames)))
            return std::string(kCsvPowerNames[e.value]);
    return text;
}

/// The power list's text for a Power cell: an exchange name or a text of the list.
std::string PowerTextOfCell(const std::string& powers, const std::string& cell)
{
    for (size_t v = 0; v < std::size(kCsvPowerNames); ++v)
        if (EqualNoCase(std::string(kCsvPowerNames[v]), cell)) {
            const std::string text = ChoiceTextOf(powers, int(v));
            if (!text.empty()) return text;
        }
    for (const ChoiceEntry& e : ParseChoiceList(powers))
        if (EqualNoCase(e.text, cell)) return e.text;
    return {};
}

}  // namespace

std::string ChannelsToCsv(RadioData& radio, const CTextService& texts)
{
    const std::string powers = texts.LoadText(kPowerList);
    std::string out;
    for (size_t c = 0; c < kColumnCount; ++c) out += std::string(c ? "," : "") + kHeader[c];
    out += "\r\n";
    const auto& channels = radio.Channels();
    for (size_t i = 0; i < channels.size(); ++i) {
        const CChannelData& ch = *channels[i];
        const ChannelFields f = ch.ShowFields(texts);
        std::array<std::string, kColumnCount> cells;
        cells[Location] = std::to_string(i + 1);
        cells[Name] = radio.ChannelAlias(ch.id_);
        const bool rx = ch.RxFreq() != kNoFrequency, tx = ch.TxFreq() != kNoFrequency;
        const uint32_t rxUnits = rx ? FromBcd(ch.RxFreq()) : 0;
        const uint32_t txUnits = tx ? FromBcd(ch.TxFreq()) : 0;
        cells[Frequency] = rx ? UnitsText(rxUnits) : "";
        cells[Duplex] = !tx ? "off" : txUnits == rxUnits ? "" : txUnits > rxUnits ? "+" : "-";
        cells[OffsetCol] =
            !tx || !rx ? UnitsText(0)
                       : UnitsText(txUnits > rxUnits ? txUnits - rxUnits : rxUnits - txUnits);
        if (tx && !rx) {
            cells[Duplex] = "split";
            cells[OffsetCol] = UnitsText(txUnits);
        }
        // The tone columns: Tone the transmit tone, TSQL the same tone both ways, DTCS the
        // same code both ways, Cross any other pair.
        const ToneType t = ch.TxToneType(), r = ch.RxToneType();
        cells[RToneFreq] = t == ToneType::Analog ? f.TxCtcssText : "88.5";
        cells[CToneFreq] = r == ToneType::Analog ? f.RxCtcssText : "88.5";
        cells[DtcsCode] = IsDigital(t) ? f.TxDcsText : "023";
        cells[RxDtcsCode] = IsDigital(r) ? f.RxDcsText : "023";
        cells[DtcsPolarity] = std::string(t == ToneType::DigitalInverted ? "R" : "N") +
                              (r == ToneType::DigitalInverted ? "R" : "N");
        cells[CrossMode] = "Tone->Tone";
        const auto side = [](ToneType x) {
            return x == ToneType::None ? "" : x == ToneType::Analog ? "Tone" : "DTCS";
        };
        if (t == ToneType::None && r == ToneType::None)
            cells[Tone] = "";
        else if (t == ToneType::Analog && r == ToneType::None)
            cells[Tone] = "Tone";
        else if (t == ToneType::Analog && r == ToneType::Analog && f.TxCtcssText == f.RxCtcssText) {
            cells[Tone] = "TSQL";
            cells[CToneFreq] = f.RxCtcssText;
        } else if (IsDigital(t) && IsDigital(r) && f.TxDcsText == f.RxDcsText)
            cells[Tone] = "DTCS";
        else {
            cells[Tone] = "Cross";
            cells[CrossMode] = std::string(side(t)) + "->" + side(r);
        }
        cells[Mode] = ch.Spacing() == 0 ? "NFM" : "FM";
        cells[TStep] = StepText(ch.RxStep());
        cells[Power] = CsvPowerName(powers, f.PowerText);
        for (size_t c = 0; c < kColumnCount; ++c) out += (c ? "," : "") + CsvField(cells[c]);
        out += "\r\n";
    }
    return out;
}

namespace {

/// The references of the scan lists and the emergency block to the channels a plan removes,
/// mended on copies of their records.
void PlanReferenceCuts(ChannelImport& plan, RadioData& radio)
{
    const size_t count = plan.records.size();
    if (count == 0 || count >= radio.Channels().size()) return;
    bool scanChanged = false;
    std::vector<std::vector<uint8_t>> scanRecords;
    const auto& lists = radio.ScanLists();
    for (size_t i = 0; i < lists.size(); ++i) {
        const std::span<const uint8_t> bytes = BytesOf(lists[i]->Raw());
        std::vector<uint8_t> record(bytes.begin(), bytes.end());
        const std::string list = std::to_string(i + 1);
        for (const CScanData::ChannelCut& cut : CScanData::CutChannels(record, count)) {
            const std::string channel = std::to_string(cut.channel);
            using What = CScanData::ChannelCut::What;
            switch (cut.what) {
                case What::Member:
                    plan.references.push_back(
                        {CsvMessage::kMemberCut, {list, std::to_string(cut.member), channel}});
                    break;
                case What::Designated:
                    plan.references.push_back({CsvMessage::kDesignatedCut, {list, channel}});
                    break;
                case What::Priority1:
                case What::Priority2:
                    plan.references.push_back(
                        {CsvMessage::kPriorityCut,
                         {list, cut.what == What::Priority1 ? "1" : "2", channel}});
                    break;
                case What::Refilled:
                    plan.references.push_back({CsvMessage::kScanRefilled, {list}});
                    break;
            }
        }
        scanChanged = scanChanged || !std::equal(record.begin(), record.end(), bytes.begin());
        scanRecords.push_back(std::move(record));
    }
    if (scanChanged) plan.scanRecords = std::move(scanRecords);

    // The emergency revert channel (0: none).
    CEmergencyBlock& emergency = radio.Emergency();
    const uint8_t revert = emergency.Raw()[CEmergencyBlock::Offset::kRevertChannel];
    if (revert > count && revert <= radio.Channels().size()) {
        const std::span<const uint8_t> bytes = BytesOf(emergency.Raw());
        plan.emergencyRecord.assign(bytes.begin(), bytes.end());
        plan.emergencyRecord[CEmergencyBlock::Offset::kRevertChannel] = 0;
        plan.references.push_back({CsvMessage::kRevertCut, {std::to_string(revert)}});
    }
}

}  // namespace

ChannelImport PlanChannelImport(std::string_view bytes, RadioData& radio, const BandLimits& band,
                                const CTextService& texts)
{
    ChannelImport plan;
    const auto fail = [&plan](int message, std::vector<std::string> args = {}) {
        plan.errors.push_back({message, std::move(args)});
        return plan;
    };
    if (bytes.size() > kMaxCsvBytes)
        return fail(CsvMessage::kTooManyRows, {"?", std::to_string(CChannelData::kSlots),
                                               std::to_string(CChannelData::kSlots)});
    const std::optional<std::string> text = DecodeText(bytes);
    if (!text) return fail(CsvMessage::kNotText);

    CsvRows parsed;
    parsed.limit = CChannelData::kSlots + 1;
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) return fail(CsvMessage::kNotText);
    const size_t used = csv_parse(&parser, text->data(), text->size(), OnField, OnRow, &parsed);
    const bool parsedAll = used == text->size() && csv_fini(&parser, OnField, OnRow, &parsed) == 0;
    const std::string reason = csv_strerror(csv_error(&parser));
    csv_free(&parser);
    if (!parsedAll) return fail(CsvMessage::kBadCsv, {std::to_string(parsed.count + 1), reason});
    if (parsed.rows.empty()) return fail(CsvMessage::kNoHeader);

    // Columns by their header names; unknown ones are ignored.
    std::array<std::optional<size_t>, kColumnCount> at{};
    bool any = false;
    for (size_t i = 0; i < parsed.rows[0].size(); ++i)
        for (size_t c = 0; c < kColumnCount; ++c)
            if (EqualNoCase(Trim(parsed.rows[0][i]), kHeader[c]) && !at[c]) {
                at[c] = i;
                any = true;
            }
    if (!any) return fail(CsvMessage::kNoHeader);
    const size_t rows = parsed.count - 1;
    if (rows > CChannelData::kSlots)
        return fail(CsvMessage::kTooManyRows,
                    {std::to_string(rows), std::to_string(CChannelData::kSlots),
                     std::to_string(CChannelData::kSlots)});
    if (rows == 0) return fail(CsvMessage::kNoRows);

    // Rows in the order of their Location when every row has one, else in file order.
    std::vector<size_t> order(rows);
    for (size_t i = 0; i < rows; ++i) order[i] = i + 1;
    const auto cellOf = [&](size_t row, Column c) -> std::string {
        if (!at[c] || *at[c] >= parsed.rows[row].size()) return {};
        return Trim(parsed.rows[row][*at[c]]);
    };
    if (at[Location]) {
        bool allNumbers = true;
        for (size_t r : order) allNumbers = allNumbers && Number(cellOf(r, Location)).has_value();
        if (allNumbers)
            std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
                return *Number(cellOf(x, Location)) < *Number(cellOf(y, Location));
            });
    }

    const std::string rxTypes = texts.LoadText(kRxTypeList), txTypes = texts.LoadText(kTxTypeList);
    const std::string powers = texts.LoadText(kPowerList), spacings = texts.LoadText(kSpacingList);
    for (size_t n = 0; n < order.size(); ++n) {
        const size_t row = order[n];
        const std::string rowText = std::to_string(row + 1);  // the header is row 1
        const auto refuse = [&](int message, Column c, std::vector<std::string> more) {
            std::vector<std::string> args{rowText, kHeader[c], cellOf(row, c)};
            args.insert(args.end(), more.begin(), more.end());
            plan.errors.push_back({message, std::move(args)});
        };
        const size_t errorsBefore = plan.errors.size();
        // The channel the row goes into: the radio's channel at that place, else a new one.
        CChannelData channel(n);
        if (n < radio.Channels().size()) channel.Raw().CopyFrom(radio.Channels()[n]->Raw().Data());
        const ChannelGridRow defaults = FillChannelRow(CChannelData(n), n + 1);
        ChannelGridRow cells = FillChannelRow(channel, n + 1);
        std::array<std::string, kChannelGridColumns> wanted;  // what the row asks for

        // Frequencies.
        if (at[Frequency]) {
            const std::string freq = cellOf(row, Frequency);
            std::optional<double> rx = freq.empty() ? std::optional<double>() : Number(freq);
            if (!freq.empty() && !rx) refuse(CsvMessage::kNotANumber, Frequency, {});
            const std::string duplex = cellOf(row, Duplex);
            const std::string offsetText = cellOf(row, OffsetCol);
            std::optional<double> offset = offsetText.empty() ? 0.0 : Number(offsetText);
            if (!offset) refuse(CsvMessage::kNotANumber, OffsetCol, {});
            std::optional<double> tx;
            if (duplex.empty())
                tx = rx;
            else if (duplex == "+" && rx && offset)
                tx = *rx + *offset;
            else if (duplex == "-" && rx && offset)
                tx = *rx - *offset;
            else if (EqualNoCase(duplex, "split"))
                tx = offset;
            else if (!EqualNoCase(duplex, "off") && duplex != "+" && duplex != "-")
                refuse(CsvMessage::kNotAccepted, Duplex,
                       {"\"\", \"+\", \"-\", \"split\", \"off\""});
            const auto text = [](std::optional<double> mhz) {
                return mhz && *mhz > 0 ? UnitsText(FreqTextToUnits(DecimalText(*mhz, 6)))
                                       : std::string();
            };
            wanted[Col(ChannelColumn::RxFreq)] = rx ? UnitsText(FreqTextToUnits(freq)) : "";
            wanted[Col(ChannelColumn::TxFreq)] =
                duplex.empty() ? wanted[Col(ChannelColumn::RxFreq)] : text(tx);
        } else {
            wanted[Col(ChannelColumn::RxFreq)] = defaults.cells[Col(ChannelColumn::RxFreq)];
            wanted[Col(ChannelColumn::TxFreq)] = defaults.cells[Col(ChannelColumn::TxFreq)];
        }

        // Tones: the transmit and receive side's type and tone.
        const bool anyTone = at[Tone] || at[RToneFreq] || at[CToneFreq] || at[DtcsCode] ||
                             at[DtcsPolarity] || at[RxDtcsCode] || at[CrossMode];
        ToneType tType = ToneType::None, rType = ToneType::None;
        std::string tTone, rTone;
        if (anyTone) {
            const std::string mode = cellOf(row, Tone);
            const auto tone = [&](Column c, const char* fallback) {
                std::string v = cellOf(row, c);
                if (v.empty()) v = fallback;
                if (!Number(v)) refuse(CsvMessage::kNotANumber, c, {});
                return v;
            };
            std::string pol = cellOf(row, DtcsPolarity);
            if (pol.empty()) pol = "NN";
            if (pol.size() != 2 || pol.find_first_not_of("NR") != std::string::npos)
                refuse(CsvMessage::kNotAccepted, DtcsPolarity, {"NN, NR, RN, RR"});
            const auto dcsType = [&](size_t k) {
                return pol.size() == 2 && pol[k] == 'R' ? ToneType::DigitalInverted
                                                        : ToneType::Digital;
            };
            if (mode.empty()) {
            } else if (mode == "Tone") {
                tType = ToneType::Analog;
                tTone = tone(RToneFreq, "88.5");
            } else if (mode == "TSQL") {
                tType = rType = ToneType::Analog;
                tTone = rTone = tone(CToneFreq, "88.5");
            } else if (mode == "DTCS") {
                tType = dcsType(0);
                rType = dcsType(1);
                tTone = rTone = tone(DtcsCode, "023");
            } else if (mode == "Cross") {
                std::string cross = cellOf(row, CrossMode);
                if (cross.empty()) cross = "Tone->Tone";
                const size_t arrow = cross.find("->");
                const std::string t = arrow == std::string::npos ? "?" : cross.substr(0, arrow);
                const std::string r = arrow == std::string::npos ? "?" : cross.substr(arrow + 2);
                const auto known = [](const std::string& s) {
                    return s.empty() || s == "Tone" || s == "DTCS";
                };
                if (!known(t) || !known(r) || (t.empty() && r.empty())) {
                    refuse(CsvMessage::kNotAccepted, CrossMode,
                           {"Tone->Tone, Tone->DTCS, DTCS->Tone, DTCS->DTCS, Tone->, DTCS->, "
                            "->Tone, ->DTCS"});
                } else {
                    if (t == "Tone") {
                        tType = ToneType::Analog;
                        tTone = tone(RToneFreq, "88.5");
                    }
                    if (t == "DTCS") {
                        tType = dcsType(0);
                        tTone = tone(DtcsCode, "023");
                    }
                    if (r == "Tone") {
                        rType = ToneType::Analog;
                        rTone = tone(CToneFreq, "88.5");
                    }
                    if (r == "DTCS") {
                        rType = dcsType(1);
                        rTone = tone(RxDtcsCode, "023");
                    }
                }
            } else {
                refuse(CsvMessage::kNotAccepted, Tone, {"\"\", Tone, TSQL, DTCS, Cross"});
            }
            const auto setSide = [&](ToneType type, const std::string& v, const std::string& list,
                                     ChannelColumn typeCol, ChannelColumn ctcssCol,
                                     ChannelColumn dcsCol) {
                wanted[Col(typeCol)] = ChoiceTextOf(list, static_cast<int>(type));
                wanted[Col(ctcssCol)] = type == ToneType::Analog && Number(v)
                                            ? FormatCtcss(ParseCtcssText(v))
                                            : cells.cells[Col(ctcssCol)];
                wanted[Col(dcsCol)] = IsDigital(type) && Number(v) ? FormatDcs(ParseDcsText(v))
                                                                   : cells.cells[Col(dcsCol)];
            };
            setSide(tType, tTone, txTypes, ChannelColumn::TxType, ChannelColumn::TxCtcss,
                    ChannelColumn::TxDcs);
            setSide(rType, rTone, rxTypes, ChannelColumn::RxType, ChannelColumn::RxCtcss,
                    ChannelColumn::RxDcs);
        } else {
            for (ChannelColumn c :
                 {ChannelColumn::RxType, ChannelColumn::RxCtcss, ChannelColumn::RxDcs,
                  ChannelColumn::TxType, ChannelColumn::TxCtcss, ChannelColumn::TxDcs})
                wanted[Col(c)] = defaults.cells[Col(c)];
        }

        // Mode: NFM is 12.5 kHz; FM keeps a wide spacing the channel has, else 25 kHz.
        const std::string mode = cellOf(row, Mode);
        const std::string spacingNow = cells.cells[Col(ChannelColumn::Spacing)];
        const bool narrowNow = ChoiceValueOf(spacings, spacingNow) == 0;
        if (!at[Mode])
            wanted[Col(ChannelColumn::Spacing)] = defaults.cells[Col(ChannelColumn::Spacing)];
        else if (mode == "NFM")
            wanted[Col(ChannelColumn::Spacing)] = ChoiceTextOf(spacings, 0);
        else if (mode == "FM")
            wanted[Col(ChannelColumn::Spacing)] =
                narrowNow ? ChoiceTextOf(spacings, 2) : spacingNow;
        else
            refuse(CsvMessage::kNotAccepted, Mode, {"FM, NFM"});

        // Power by its text.
        if (!at[Power]) {
            wanted[Col(ChannelColumn::Power)] = defaults.cells[Col(ChannelColumn::Power)];
        } else {
            const std::string power = cellOf(row, Power);
            const std::string match = PowerTextOfCell(powers, power);
            std::string accepted;
            for (const ChoiceEntry& e : ParseChoiceList(powers)) {
                const std::string name = CsvPowerName(powers, e.text);
                accepted += (accepted.empty() ? "" : ", ") + name;
                if (name != e.text) accepted += " (" + e.text + ")";
            }
            if (match.empty()) refuse(CsvMessage::kNotAccepted, Power, {accepted});
            wanted[Col(ChannelColumn::Power)] = match;
        }
        if (plan.errors.size() != errorsBefore) continue;

        // As the grid commits a row: the frequency cells by their cell rule, then the row.
        for (size_t c = 0; c < kChannelGridColumns; ++c)
            if (!wanted[c].empty() || c == Col(ChannelColumn::RxFreq) ||
                c == Col(ChannelColumn::TxFreq))
                cells.cells[c] = wanted[c];
        for (ChannelColumn c : {ChannelColumn::RxFreq, ChannelColumn::TxFreq})
            if (cells.cells[Col(c)] != FillChannelRow(channel, n + 1).cells[Col(c)])
                cells.cells[Col(c)] = CommitFrequencyCell(cells.cells[Col(c)], band).text;
        RetypeChannelRow(cells);
        CommitChannelRow(channel, cells, n + 1, band);
        // What the rules fitted: a wanted text the channel now shows otherwise.
        const ChannelGridRow stored = FillChannelRow(channel, n + 1);
        for (size_t c = 0; c < kChannelGridColumns; ++c) {
            if (wanted[c].empty() || stored.cells[c] == wanted[c]) continue;
            if (stored.kinds[c] == CellKind::Fixed) continue;  // a tone the type does not use
            plan.fitted.push_back({CsvMessage::kFitted,
                                   {rowText, ChannelColumnHeader(c), wanted[c], stored.cells[c]}});
        }
        plan.records.emplace_back(channel.Raw().Data(),
                                  channel.Raw().Data() + channel.Raw().Size());
        plan.aliases.push_back(cellOf(row, Name));
    }
    if (!plan.Ok()) {
        plan.records.clear();
        plan.aliases.clear();
        return plan;
    }
    PlanReferenceCuts(plan, radio);
    return plan;
}

void ApplyChannelImport(RadioData& radio, const ChannelImport& plan)
{
    if (!plan.Ok() || plan.records.empty()) return;
    // References to the channels about to go are mended first, while their channels are
    // still there: the notice below then finds every reference on a channel that stays.
    auto& lists = radio.ScanLists();
    for (size_t i = 0; i < plan.scanRecords.size() && i < lists.size(); ++i) {
        lists[i]->Raw().CopyFrom(plan.scanRecords[i].data());
        lists[i]->ResolveLinks();
    }
    if (!plan.emergencyRecord.empty()) {
        radio.Emergency().Raw().CopyFrom(plan.emergencyRecord.data());
        radio.Emergency().ResolveLinks();
    }
    auto& channels = radio.Channels();
    while (channels.size() < plan.records.size()) radio.AddChannel();
    while (channels.size() > plan.records.size()) {
        channels.back()->WithdrawNotices();
        channels.pop_back();
    }
    for (size_t i = 0; i < plan.records.size(); ++i) {
        CChannelData& ch = *channels[i];
        ch.Raw().CopyFrom(plan.records[i].data());
        ch.ResolveLinks();
        UpdateChannelInUse(ch);
        radio.SetChannelAlias(ch.id_, plan.aliases[i]);
    }
    // Everything that refers to channels checks its references again.
    NoticeRecord n;
    n.code = NoticeCode::Deleted;
    radio.Notify(n);
}

}  // namespace rv
