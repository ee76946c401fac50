#include "editors/channel/ChannelCsv.h"

#include <csv.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <set>

#include "base/ChoiceList.h"
#include "base/Settings.h"
#include "base/NumberText.h"
#include "base/TextService.h"
#include "data/FieldTable.h"
#include "data/PowerLevels.h"
#include "editors/channel/ChannelAlias.h"
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

// ---- writing ---------------------------------------------------------------------------

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos && text.find(' ') != 0) return text;
    std::string out(text.size() * 2 + 2, '\0');
    out.resize(csv_write(out.data(), out.size(), text.data(), text.size()));
    return out;
}

/// MHz text of 10 Hz units with six decimals, as CSV files of other tools hold frequencies
/// ("446.006250"). Integer arithmetic: the text never depends on the locale.
std::string MhzText(uint64_t units)
{
    std::string frac = std::to_string(units % kFreqUnitsPerMHz);
    frac.insert(0, 5 - frac.size(), '0');
    return std::to_string(units / kFreqUnitsPerMHz) + "." + frac + "0";
}

/// MHz text of 10 Hz units with five decimals, as the channel grid shows frequencies; also for
/// values beyond what the grid's eight digits hold.
std::string GridMhzText(uint64_t units)
{
    std::string text = MhzText(units);
    text.pop_back();
    return text;
}

/// The channel steps a TStep cell names, coarsest first: 10 Hz units and text.
struct StepText {
    uint32_t units;
    const char* text;
};
constexpr StepText kStepTexts[] = {{1250, "12.50"}, {1000, "10.00"}, {625, "6.25"}, {500, "5.00"}};
/// The raster every frequency the grid stores lies on.
constexpr StepText kFinestRaster{250, "2.50"};

/// TStep of a channel: the step its receive frequency actually sits on, the coarsest channel
/// step that holds it (440.000 MHz is on 12.5 kHz, 446.00625 MHz on 6.25 kHz), else the
/// 2.5 kHz raster. A channel without a receive frequency has the coarsest step.
std::string TStepOf(const CChannelData& ch)
{
    if (ch.RxFreq() == kNoFrequency) return kStepTexts[0].text;
    const uint32_t units = FromBcd(ch.RxFreq());
    for (const StepText& s : kStepTexts)
        if (units % s.units == 0) return s.text;
    return kFinestRaster.text;
}

bool IsDigital(ToneType t)
{
    return t == ToneType::Digital || t == ToneType::DigitalInverted;
}

/// A number text of the text form with a point as its decimal mark, whatever the locale that
/// formatted it.
std::string PointDecimal(std::string text)
{
    std::replace(text.begin(), text.end(), ',', '.');
    return text;
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

/// Fields of a row kept beyond the header's columns are of no use; a row of thousands of
/// commas must not hold thousands of strings.
constexpr size_t kMaxFieldsKept = 64;

/// The rows of a CSV text with the file line each begins on.
struct CsvRows {
    std::vector<std::vector<std::string>> rows;
    std::vector<size_t> lines;
    std::vector<std::string> field;
    size_t line = 0;      ///< the line being read (1-based)
    size_t rowStart = 0;  ///< the line the row being read began on
    bool rowOpen = false;
    size_t count = 0;  ///< rows read, kept or not
};

void OnField(void* s, size_t len, void* data)
{
    auto* r = static_cast<CsvRows*>(data);
    if (r->field.size() < kMaxFieldsKept) r->field.emplace_back(static_cast<const char*>(s), len);
}

void OnRow(int, void* data)
{
    auto* r = static_cast<CsvRows*>(data);
    ++r->count;
    if (r->rows.size() <= kMaxChannelCsvRows) {
        r->rows.push_back(std::move(r->field));
        r->lines.push_back(r->rowStart);
    }
    r->field.clear();
    r->rowOpen = false;
}

/// Splits a CSV text into rows, line by line so that every row knows the line it begins on;
/// a note naming the line when the text is not CSV.
std::optional<CsvNote> ParseCsvRows(const std::string& text, CsvRows& out)
{
    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
        return CsvNote{CsvMessage::kNotText, {}};
    std::optional<CsvNote> error;
    for (size_t pos = 0; pos < text.size() && !error;) {
        const size_t nl = text.find('\n', pos);
        const size_t end = nl == std::string::npos ? text.size() : nl + 1;
        const std::string_view chunk(text.data() + pos, end - pos);
        ++out.line;
        if (!out.rowOpen && chunk.find_first_not_of(" \t\r\n") != std::string_view::npos) {
            out.rowOpen = true;
            out.rowStart = out.line;
        }
        if (csv_parse(&parser, chunk.data(), chunk.size(), OnField, OnRow, &out) != chunk.size())
            error = CsvNote{CsvMessage::kBadCsv,
                            {std::to_string(out.line), csv_strerror(csv_error(&parser))}};
        pos = end;
    }
    if (!error && csv_fini(&parser, OnField, OnRow, &out) != 0)
        error = CsvNote{CsvMessage::kUnclosedQuote, {std::to_string(out.rowStart)}};
    csv_free(&parser);
    return error;
}

std::string Trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

/// A plain decimal number: digits with at most one point, nothing else (no sign, no exponent),
/// read the same in every locale.
std::optional<double> PlainDecimal(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos)
        return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v) || v > 1e6)
        return std::nullopt;
    return v;
}

/// A MHz text in 10 Hz units (rounded to the nearest 10 Hz).
std::optional<uint64_t> MhzUnits(std::string_view text)
{
    const std::optional<double> mhz = PlainDecimal(text);
    if (!mhz) return std::nullopt;
    return static_cast<uint64_t>(std::llround(*mhz * kFreqUnitsPerMHz));
}

/// A whole number of digits only.
std::optional<long> WholeNumber(std::string_view text)
{
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    long v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

namespace {

/// The power words a Power cell may hold besides watts, with their level.
struct PowerWord {
    std::string_view word;
    size_t level;
};
constexpr PowerWord kPowerWords[] = {{"Low", 0}, {"Mid", 1}, {"Middle", 1}, {"High", 2}};

/// The level of a Power cell: a power word, a text of the power list, or watts (the nearest
/// level); nothing for any other text.
std::optional<size_t> PowerLevelOfCell(const std::string& powers, const PowerLevels& watts,
                                       const std::string& cell)
{
    for (const PowerWord& w : kPowerWords)
        if (EqualNoCase(w.word, cell)) return w.level;
    for (const ChoiceEntry& e : ParseChoiceList(powers))
        if (EqualNoCase(e.text, cell) && e.value >= 0 && size_t(e.value) < kPowerLevelCount)
            return size_t(e.value);
    if (const std::optional<double> w = ParseWattsText(cell)) return NearestPowerLevel(watts, *w);
    return std::nullopt;
}

}  // namespace

std::string ChannelsToCsv(RadioData& radio, const CTextService& texts)
{
    const PowerLevels watts = CurrentPowerLevels();
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
        cells[Frequency] = rx ? MhzText(rxUnits) : "";
        cells[Duplex] = !tx ? "off" : txUnits == rxUnits ? "" : txUnits > rxUnits ? "+" : "-";
        // Offset 0 on simplex rows and rows that do not transmit.
        cells[OffsetCol] = !tx || !rx
                               ? MhzText(0)
                               : MhzText(txUnits > rxUnits ? txUnits - rxUnits : rxUnits - txUnits);
        if (tx && !rx) {
            cells[Duplex] = "split";
            cells[OffsetCol] = MhzText(txUnits);
        }
        // The tone columns as CHIRP writes them: Tone the transmit tone, TSQL the same tone
        // both ways, DTCS the same code both ways, Cross any other pair; the columns a row's
        // tone kind does not use hold 88.5, 023 and Tone->Tone.
        const ToneType t = ch.TxToneType(), r = ch.RxToneType();
        const std::string txCtcss = PointDecimal(f.TxCtcssText);
        const std::string rxCtcss = PointDecimal(f.RxCtcssText);
        cells[RToneFreq] = t == ToneType::Analog ? txCtcss : "88.5";
        cells[CToneFreq] = r == ToneType::Analog ? rxCtcss : "88.5";
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
        else if (t == ToneType::Analog && r == ToneType::Analog && txCtcss == rxCtcss)
            cells[Tone] = "TSQL";
        else if (IsDigital(t) && IsDigital(r) && f.TxDcsText == f.RxDcsText)
            cells[Tone] = "DTCS";
        else {
            cells[Tone] = "Cross";
            cells[CrossMode] = std::string(side(t)) + "->" + side(r);
        }
        cells[Mode] = ch.Spacing() == 0 ? "NFM" : "FM";
        cells[TStep] = TStepOf(ch);
        // Power in watts; a stored value no level has keeps its text (an import refuses it
        // rather than guessing).
        cells[Power] =
            ch.Power() < kPowerLevelCount ? WattsText(watts.watts[ch.Power()]) : f.PowerText;
        for (size_t c = 0; c < kColumnCount; ++c) out += (c ? "," : "") + CsvField(cells[c]);
        out += "\r\n";
    }
    return out;
}

std::string SizeText(size_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MB";
    if (bytes >= (1u << 10) && bytes % (1u << 10) == 0) return std::to_string(bytes >> 10) + " kB";
    return std::to_string(bytes) + " bytes";
}

std::optional<std::vector<long>> ParseRowList(std::string_view text)
{
    std::vector<long> rows;
    std::string compact;
    for (char c : text)
        if (c != ' ' && c != '\t') compact += c;
    if (compact.empty()) return std::nullopt;
    size_t pos = 0;
    while (pos <= compact.size()) {
        const size_t comma = std::min(compact.find(',', pos), compact.size());
        const std::string_view item(compact.data() + pos, comma - pos);
        const size_t dash = item.find('-');
        const std::optional<long> first = WholeNumber(item.substr(0, dash));
        const std::optional<long> last =
            dash == std::string_view::npos ? first : WholeNumber(item.substr(dash + 1));
        if (!first || !last || *last < *first || *last > kMaxCsvLocation) return std::nullopt;
        for (long v = *first; v <= *last; ++v) rows.push_back(v);
        pos = comma + 1;
    }
    return rows;
}

std::string CsvNoteText(const CsvNote& note)
{
    std::vector<std::string> args = note.args;
    if (!note.parts.empty()) {
        std::string joined;
        for (const CsvNote& part : note.parts)
            joined += (joined.empty() ? "" : "; ") + CsvNoteText(part);
        args.push_back(joined);
    }
    return Settings().LoadMessage(note.message, args);
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
                        {CsvMessage::kMemberCut, {list, std::to_string(cut.member), channel}, {}});
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

namespace {

/// The CSV column a grid column's value comes from, for the messages.
const char* CsvColumnOf(ChannelColumn c, bool split)
{
    switch (c) {
        case ChannelColumn::RxFreq:
            return kHeader[Frequency];
        case ChannelColumn::TxFreq:
            return split ? kHeader[OffsetCol] : kHeader[Frequency];
        case ChannelColumn::RxType:
        case ChannelColumn::TxType:
            return kHeader[Tone];
        case ChannelColumn::RxCtcss:
            return kHeader[CToneFreq];
        case ChannelColumn::TxCtcss:
            return kHeader[RToneFreq];
        case ChannelColumn::RxDcs:
            return kHeader[RxDtcsCode];
        case ChannelColumn::TxDcs:
            return kHeader[DtcsCode];
        case ChannelColumn::Spacing:
            return kHeader[Mode];
        case ChannelColumn::Power:
            return kHeader[Power];
        default:
            return kHeader[Name];
    }
}

/// What one row of the file gives as channel `n` (0-based).
struct RowOutcome {
    std::vector<uint8_t> record;
    std::string alias;
    std::vector<CsvNote> problems;  ///< what the radio cannot hold as the row stands
    bool fittable = true;           ///< every problem is a value the rules fit
    std::vector<CsvNote> fitted;    ///< the changes the rules made, when fitted
    std::optional<CsvNote> nameCut;
};

/// Works out rows of a parsed file as channels.
class RowPlanner {
public:
    RowPlanner(const CsvRows& parsed, const std::array<std::optional<size_t>, kColumnCount>& at,
               RadioData& radio, const BandLimits& band, const CTextService& texts)
        : parsed_(parsed),
          at_(at),
          radio_(radio),
          band_(band),
          rxTypes_(texts.LoadText(kRxTypeList)),
          txTypes_(texts.LoadText(kTxTypeList)),
          powers_(texts.LoadText(kPowerList)),
          spacings_(texts.LoadText(kSpacingList)),
          watts_(CurrentPowerLevels())
    {
    }

    std::string Cell(size_t row, Column c) const
    {
        if (!at_[c] || *at_[c] >= parsed_.rows[row].size()) return {};
        return Trim(parsed_.rows[row][*at_[c]]);
    }

    RowOutcome Evaluate(size_t row, size_t n, const std::string& line,
                        const std::string& location) const;

private:
    const CsvRows& parsed_;
    const std::array<std::optional<size_t>, kColumnCount>& at_;
    RadioData& radio_;
    const BandLimits& band_;
    std::string rxTypes_, txTypes_, powers_, spacings_;
    PowerLevels watts_;
};

RowOutcome RowPlanner::Evaluate(size_t row, size_t n, const std::string& line,
                                const std::string& location) const
{
    RowOutcome out;
    // A problem the radio cannot hold at all, and one the channel rules can fit.
    const auto unfit = [&](int message, Column c, std::vector<std::string> more) {
        std::vector<std::string> args{kHeader[c], Cell(row, c)};
        args.insert(args.end(), more.begin(), more.end());
        out.problems.push_back({message, std::move(args), {}});
        out.fittable = false;
    };
    const auto fittable = [&](int message, std::vector<std::string> args) {
        out.problems.push_back({message, std::move(args), {}});
    };

    // The channel the row goes into: the radio's channel at that place, else a new one.
    CChannelData channel(n);
    if (n < radio_.Channels().size()) channel.Raw().CopyFrom(radio_.Channels()[n]->Raw().Data());
    const ChannelGridRow defaults = FillChannelRow(CChannelData(n), n + 1);
    const ChannelGridRow before = FillChannelRow(channel, n + 1);
    ChannelGridRow cells = before;
    std::array<std::string, kChannelGridColumns> wanted;  // what the row asks for
    const auto want = [&](ChannelColumn c) -> std::string& { return wanted[Col(c)]; };

    // Frequencies: the receive frequency, and the transmit frequency from Duplex and Offset.
    const std::string duplex = Cell(row, Duplex);
    const bool split = !duplex.empty();
    if (at_[Frequency]) {
        const std::string freq = Cell(row, Frequency);
        std::optional<uint64_t> rx;
        if (!freq.empty()) {
            rx = MhzUnits(freq);
            if (!rx) unfit(CsvMessage::kNotANumber, Frequency, {});
        }
        const std::string offsetText = Cell(row, OffsetCol);
        std::optional<uint64_t> offset = offsetText.empty() ? 0 : MhzUnits(offsetText);
        if (!offset && split) unfit(CsvMessage::kNotANumber, OffsetCol, {});
        std::optional<uint64_t> tx;
        if (duplex.empty())
            tx = rx;
        else if (duplex == "+" && rx && offset)
            tx = *rx + *offset;
        else if (duplex == "-" && rx && offset)
            tx = *rx > *offset ? *rx - *offset : 0;
        else if (EqualNoCase(duplex, "split"))
            tx = offset && *offset > 0 ? offset : std::nullopt;
        else if (!EqualNoCase(duplex, "off") && duplex != "+" && duplex != "-")
            unfit(CsvMessage::kNotAccepted, Duplex, {"\"\", +, -, split, off"});
        // Outside the band or on none of the channel steps: the rules would move the value.
        const auto check = [&](std::optional<uint64_t> units, Column c) {
            if (!units) return;
            const std::string band =
                std::to_string(band_.lowMHz) + "-" + std::to_string(band_.highMHz);
            if (*units < band_.LowUnits() || *units > band_.HighUnits())
                fittable(CsvMessage::kOutOfBand, {kHeader[c], GridMhzText(*units), band});
            else if (const uint32_t on = GridStepRound(static_cast<uint32_t>(*units)); on != *units)
                fittable(CsvMessage::kOffStep, {kHeader[c], GridMhzText(*units), GridMhzText(on)});
        };
        check(rx, Frequency);
        if (split) check(tx, OffsetCol);
        want(ChannelColumn::RxFreq) = rx ? GridMhzText(*rx) : "";
        want(ChannelColumn::TxFreq) = tx ? GridMhzText(*tx) : "";
    } else {
        want(ChannelColumn::RxFreq) = defaults.cells[Col(ChannelColumn::RxFreq)];
        want(ChannelColumn::TxFreq) = defaults.cells[Col(ChannelColumn::TxFreq)];
    }

    // Tones: the transmit and receive side's type and tone.
    const bool anyTone = at_[Tone] || at_[RToneFreq] || at_[CToneFreq] || at_[DtcsCode] ||
                         at_[DtcsPolarity] || at_[RxDtcsCode] || at_[CrossMode];
    if (anyTone) {
        ToneType tType = ToneType::None, rType = ToneType::None;
        std::string tTone, rTone;
        const std::string mode = Cell(row, Tone);
        const auto tone = [&](Column c, const char* fallback) {
            std::string v = Cell(row, c);
            if (v.empty()) v = fallback;
            if (!PlainDecimal(v)) unfit(CsvMessage::kNotANumber, c, {});
            return v;
        };
        std::string pol = Cell(row, DtcsPolarity);
        if (pol.empty()) pol = "NN";
        const bool polOk = pol.size() == 2 && pol.find_first_not_of("NR") == std::string::npos;
        const auto dcsType = [&](size_t k) {
            if (!polOk) unfit(CsvMessage::kNotAccepted, DtcsPolarity, {"NN, NR, RN, RR"});
            return polOk && pol[k] == 'R' ? ToneType::DigitalInverted : ToneType::Digital;
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
            rType = tType == ToneType::None ? ToneType::None : dcsType(1);
            tTone = rTone = tone(DtcsCode, "023");
        } else if (mode == "Cross") {
            std::string cross = Cell(row, CrossMode);
            if (cross.empty()) cross = "Tone->Tone";
            const size_t arrow = cross.find("->");
            const std::string t = arrow == std::string::npos ? "?" : cross.substr(0, arrow);
            const std::string r = arrow == std::string::npos ? "?" : cross.substr(arrow + 2);
            const auto known = [](const std::string& s) {
                return s.empty() || s == "Tone" || s == "DTCS";
            };
            if (!known(t) || !known(r) || (t.empty() && r.empty())) {
                unfit(CsvMessage::kNotAccepted, CrossMode,
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
            // TSQL-R, DTCS-R and the like: tone modes this radio lacks.
            unfit(CsvMessage::kNotAccepted, Tone, {"\"\", Tone, TSQL, DTCS, Cross"});
        }
        const auto setSide = [&](ToneType type, const std::string& v, const std::string& list,
                                 ChannelColumn typeCol, ChannelColumn ctcssCol,
                                 ChannelColumn dcsCol) {
            want(typeCol) = ChoiceTextOf(list, static_cast<int>(type));
            const std::optional<double> number = PlainDecimal(v);
            want(ctcssCol) = type == ToneType::Analog && number
                                 ? FormatCtcss(static_cast<uint16_t>(
                                       std::clamp(std::lround(*number * 10.0), 0L, 9999L)))
                                 : cells.cells[Col(ctcssCol)];
            want(dcsCol) = IsDigital(type) && number
                               ? FormatDcs(static_cast<uint16_t>(std::min(*number, 9999.0)))
                               : cells.cells[Col(dcsCol)];
        };
        setSide(tType, tTone, txTypes_, ChannelColumn::TxType, ChannelColumn::TxCtcss,
                ChannelColumn::TxDcs);
        setSide(rType, rTone, rxTypes_, ChannelColumn::RxType, ChannelColumn::RxCtcss,
                ChannelColumn::RxDcs);
    } else {
        for (ChannelColumn c :
             {ChannelColumn::RxType, ChannelColumn::RxCtcss, ChannelColumn::RxDcs,
              ChannelColumn::TxType, ChannelColumn::TxCtcss, ChannelColumn::TxDcs})
            want(c) = defaults.cells[Col(c)];
    }

    // Mode: NFM is 12.5 kHz; FM keeps a wide spacing the channel has, else 25 kHz.
    const std::string mode = Cell(row, Mode);
    const std::string spacingNow = cells.cells[Col(ChannelColumn::Spacing)];
    const bool narrowNow = ChoiceValueOf(spacings_, spacingNow) == 0;
    if (!at_[Mode])
        want(ChannelColumn::Spacing) = defaults.cells[Col(ChannelColumn::Spacing)];
    else if (EqualNoCase(mode, "NFM"))
        want(ChannelColumn::Spacing) = ChoiceTextOf(spacings_, 0);
    else if (EqualNoCase(mode, "FM"))
        want(ChannelColumn::Spacing) = narrowNow ? ChoiceTextOf(spacings_, 2) : spacingNow;
    else
        unfit(CsvMessage::kNotAccepted, Mode, {"FM, NFM"});

    // Power: watts or a level's word; a file without a Power column, or an empty cell, keeps
    // the channel's power.
    if (const std::string power = Cell(row, Power); !power.empty()) {
        if (const std::optional<size_t> level = PowerLevelOfCell(powers_, watts_, power))
            want(ChannelColumn::Power) = ChoiceTextOf(powers_, static_cast<int>(*level));
        else
            unfit(CsvMessage::kNotAccepted, Power, {"5.0W, 2.5W, 1.0W, Low, Mid, High"});
    }

    // The name, cut to what the alias takes.
    const std::string name = Cell(row, Name);
    out.alias = FitChannelAlias(name);
    if (out.alias != name)
        out.nameCut = CsvNote{CsvMessage::kNameCut,
                              {line, location, name, out.alias, std::to_string(kAliasMaxLength)},
                              {}};
    if (!out.fittable) return out;

    // As the grid commits a row: the frequency cells by their cell rule, then the row.
    for (size_t c = 0; c < kChannelGridColumns; ++c)
        if (!wanted[c].empty() || c == Col(ChannelColumn::RxFreq) ||
            c == Col(ChannelColumn::TxFreq))
            cells.cells[c] = wanted[c];
    for (ChannelColumn c : {ChannelColumn::RxFreq, ChannelColumn::TxFreq})
        if (cells.cells[Col(c)] != before.cells[Col(c)])
            cells.cells[Col(c)] = CommitFrequencyCell(cells.cells[Col(c)], band_).text;
    RetypeChannelRow(cells);
    CommitChannelRow(channel, cells, n + 1, band_);
    // What the rules changed: a wanted text the channel now shows otherwise. A frequency the
    // checks above named is listed there already; any other change is a problem of its own.
    const ChannelGridRow stored = FillChannelRow(channel, n + 1);
    const bool frequencyNamed = !out.problems.empty();
    for (size_t c = 0; c < kChannelGridColumns; ++c) {
        if (wanted[c].empty() || stored.cells[c] == wanted[c]) continue;
        if (stored.kinds[c] == CellKind::Fixed) continue;  // a tone the type does not use
        const auto column = static_cast<ChannelColumn>(c);
        const std::string csvColumn = CsvColumnOf(column, split);
        const bool frequency = column == ChannelColumn::RxFreq || column == ChannelColumn::TxFreq;
        // A simplex row's transmit frequency is its receive frequency: named once.
        if (column == ChannelColumn::TxFreq && !split &&
            wanted[c] == wanted[Col(ChannelColumn::RxFreq)] &&
            stored.cells[c] == stored.cells[Col(ChannelColumn::RxFreq)])
            continue;
        if (!frequency || !frequencyNamed)
            fittable(CsvMessage::kRuleChanges, {csvColumn, wanted[c], stored.cells[c]});
        out.fitted.push_back(
            {CsvMessage::kFitted, {line, location, csvColumn, wanted[c], stored.cells[c]}, {}});
    }
    out.record.assign(channel.Raw().Data(), channel.Raw().Data() + channel.Raw().Size());
    return out;
}

}  // namespace

ChannelImport PlanChannelImport(std::string_view bytes, RadioData& radio, const BandLimits& band,
                                const CTextService& texts, const CsvImportOptions& options)
{
    ChannelImport plan;
    const auto fail = [&plan](int message, std::vector<std::string> args = {}) {
        plan.errors.push_back({message, std::move(args), {}});
        return plan;
    };
    if (bytes.size() > kMaxChannelCsvBytes)
        return fail(CsvMessage::kTooLarge, {SizeText(kMaxChannelCsvBytes)});
    const std::optional<std::string> text = DecodeText(bytes);
    if (!text) return fail(CsvMessage::kNotText);

    CsvRows parsed;
    if (std::optional<CsvNote> error = ParseCsvRows(*text, parsed)) {
        plan.errors.push_back(std::move(*error));
        return plan;
    }
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
    const size_t rowCount = parsed.count - 1;
    if (rowCount > kMaxChannelCsvRows)
        return fail(CsvMessage::kTooManyRows,
                    {std::to_string(rowCount), std::to_string(CChannelData::kSlots)});
    if (rowCount == 0) return fail(CsvMessage::kNoRows);
    // Without a pick, more rows than channels are refused before anything is left out: the
    // user says which rows to take.
    const bool tooMany = !options.rows && rowCount > CChannelData::kSlots;

    RowPlanner planner(parsed, at, radio, band, texts);
    // Each row's Location: a whole number given once; without the column, its place.
    std::vector<long> locations(rowCount + 1, 0);
    std::map<long, size_t> lineOf;
    for (size_t r = 1; r <= rowCount; ++r) {
        const std::string line = std::to_string(parsed.lines[r]);
        if (!at[Location]) {
            locations[r] = static_cast<long>(r);
            continue;
        }
        const std::string cell = planner.Cell(r, Location);
        const std::optional<long> location = WholeNumber(cell);
        if (!location || *location > kMaxCsvLocation) {
            plan.errors.push_back(
                {CsvMessage::kBadLocation, {line, cell, std::to_string(kMaxCsvLocation)}, {}});
            continue;
        }
        locations[r] = *location;
        const auto [it, added] = lineOf.emplace(*location, parsed.lines[r]);
        if (!added)
            plan.errors.push_back(
                {CsvMessage::kDuplicateLocation, {line, cell, std::to_string(it->second)}, {}});
    }
    if (!plan.Ok()) return plan;

    // Rows in the order of their Location, each checked as the channel at its place.
    std::vector<size_t> order(rowCount);
    for (size_t i = 0; i < rowCount; ++i) order[i] = i + 1;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t x, size_t y) { return locations[x] < locations[y]; });
    std::map<long, size_t> rowOf;                 // Location -> row
    std::vector<size_t> infoOf(rowCount + 1, 0);  // row -> its entry of plan.rows
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t r = order[k];
        rowOf[locations[r]] = r;
        infoOf[r] = k;
        const RowOutcome outcome =
            planner.Evaluate(r, std::min(k, CChannelData::kSlots - 1),
                             std::to_string(parsed.lines[r]), std::to_string(locations[r]));
        CsvRow info;
        info.line = parsed.lines[r];
        info.location = locations[r];
        info.name = planner.Cell(r, Name);
        info.frequency = planner.Cell(r, Frequency);
        info.mode = planner.Cell(r, Mode);
        info.problems = outcome.problems;
        info.fittable = outcome.fittable;
        plan.rows.push_back(std::move(info));
    }

    // The rows picked, in the order picked.
    std::vector<size_t> picked;
    if (options.rows) {
        std::set<long> seen;
        for (long location : *options.rows) {
            if (!seen.insert(location).second) {
                fail(CsvMessage::kRowPickedTwice, {std::to_string(location)});
                continue;
            }
            const auto it = rowOf.find(location);
            if (it == rowOf.end())
                fail(CsvMessage::kRowNotInFile, {std::to_string(location)});
            else
                picked.push_back(it->second);
        }
        if (options.rows->empty()) fail(CsvMessage::kPickNoRows);
        if (!plan.Ok()) return plan;
    } else {
        picked = order;
    }
    if (tooMany)
        return fail(CsvMessage::kTooManyRows,
                    {std::to_string(rowCount), std::to_string(CChannelData::kSlots)});
    // Rows that do not fit are left out on request, each listed once.
    if (options.skipUnfit) {
        std::vector<size_t> kept;
        for (size_t r : picked) {
            const CsvRow& info = plan.rows[infoOf[r]];
            if (info.FitsWith(options.fit)) {
                kept.push_back(r);
                continue;
            }
            plan.skipped.push_back({CsvMessage::kSkippedRow,
                                    {std::to_string(info.line), std::to_string(info.location)},
                                    info.problems});
        }
        picked = std::move(kept);
        if (picked.empty()) return fail(CsvMessage::kNoRowLeft);
    }
    if (picked.size() > CChannelData::kSlots)
        return fail(CsvMessage::kTooManyRows,
                    {std::to_string(picked.size()), std::to_string(CChannelData::kSlots)});

    for (size_t n = 0; n < picked.size(); ++n) {
        const size_t r = picked[n];
        const std::string line = std::to_string(parsed.lines[r]);
        const std::string location = std::to_string(locations[r]);
        RowOutcome outcome = planner.Evaluate(r, n, line, location);
        if (!outcome.problems.empty() && !(options.fit && outcome.fittable)) {
            plan.errors.push_back(
                {CsvMessage::kRefusedRow, {line, location}, std::move(outcome.problems)});
            continue;
        }
        if (outcome.nameCut) plan.notices.push_back(std::move(*outcome.nameCut));
        plan.fitted.insert(plan.fitted.end(), outcome.fitted.begin(), outcome.fitted.end());
        plan.records.push_back(std::move(outcome.record));
        plan.aliases.push_back(std::move(outcome.alias));
    }
    if (!plan.Ok()) {
        plan.records.clear();
        plan.aliases.clear();
        plan.fitted.clear();
        plan.notices.clear();
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
