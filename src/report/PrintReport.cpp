#include "report/PrintReport.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>

#include "base/ChoiceList.h"
#include "base/CommandIds.h"
#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/FieldTable.h"
#include "data/PrintSelection.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelFieldTable.h"
#include "editors/dtmf/DtmfFieldTable.h"
#include "editors/emergency/EmergencyFieldTable.h"
#include "editors/general/MicFieldTable.h"
#include "editors/general/MiscFieldTable.h"
#include "editors/general/ModeFieldTable.h"
#include "editors/general/VolumeFieldTable.h"
#include "editors/general/VoxFieldTable.h"
#include "editors/keys/KeyFieldTable.h"
#include "editors/personality/PersonalityFieldTable.h"
#include "editors/radio/RadioInfoFields.h"
#include "editors/scan/ScanData.h"
#include "editors/scan/ScanFieldTable.h"
#include "service/DataWatch.h"
#include "service/EmbeddedFieldTable.h"
#include "service/MaintainBoard.h"
#include "service/TestFreqFieldTable.h"

namespace rv {

namespace {

/// Relative widths of a label and its value.
constexpr int kLabelWidth = 9;
constexpr int kValueWidth = 11;
/// Relative widths of the frequency tables' columns: the transmit column lines up with the
/// values of the label and value rows.
constexpr int kNumberWidth = 2;
constexpr int kRxWidth = kLabelWidth - kNumberWidth;
constexpr int kTxWidth = kValueWidth;

/// One line of a section's layout: a caption (group text id) or a field by its key. A field
/// prints at the user levels its table gives (`anyLevel`: at every level, for a view that shows
/// fields its table keeps from the other views) and only where `shown` (a model's rule) agrees.
struct PrintLine {
    int group = 0;
    std::string_view key;
    bool anyLevel = false;
    bool (*shown)() = nullptr;
};
constexpr PrintLine Caption(int textId)
{
    return {textId, {}};
}
constexpr PrintLine Key(std::string_view key)
{
    return {0, key};
}
/// A field its view shows at every user level.
constexpr PrintLine Always(std::string_view key)
{
    return {0, key, true};
}

bool ChannelChangeBeepShown()
{
    return CMiscBlock::ChannelChangeBeepShown();
}

// The sections' lines: the labels of the first catalogue in their order, then the other fields
// the views show, in the views' order; captions are the views' page and group captions.
constexpr PrintLine kKeyLines[] = {Key("sk1_short"), Key("sk1_long"), Key("sk2_short"),
                                   Key("sk2_long"),  Key("tk_short"), Key("tk_long")};
constexpr PrintLine kMiscLines[] = {Key("squelch_level"),
                                    Key("tail_revert"),
                                    Key("battery_save_mode"),
                                    Key("battery_save_delay"),
                                    Key("power_led"),
                                    Key("scan_led"),
                                    {0, "channel_change_beep", false, &ChannelChangeBeepShown}};
constexpr PrintLine kVolumeLines[] = {Key("alert_tone")};
constexpr PrintLine kMicLines[] = {Key("internal_gain"), Key("external_gain")};
constexpr PrintLine kVoxLines[] = {Key("gain_level"), Key("delay_time")};
constexpr PrintLine kModeLines[] = {Key("panel_test"), Key("clone"), Key("factory_clone")};
constexpr PrintLine kChannelLines[] = {
    Caption(3656),       Key("spacing"),  Key("power"),     Caption(3664),
    Key("rx_frequency"), Key("rx_dcs"),   Key("rx_ctcss"),  Caption(3673),
    Key("tx_frequency"), Key("tx_dcs"),   Key("tx_ctcss"),  Caption(3657),
    Key("personality"),  Key("scramble"), Key("compandor"), Key("auto_start_scan"),
    Key("rx_type"),      Key("tx_type"),  Key("beat_shift")};
constexpr PrintLine kPersonalityLines[] = {
    Caption(2311),     Key("tx_admit"),  Key("tx_time_out"), Key("tot_pre_alert"),
    Key("tot_re_key"), Key("tot_reset"), Caption(2313),      Key("tx_optional_signaling")};
constexpr PrintLine kDtmfLines[] = {Caption(5302),         Key("pretime"),   Key("digit_duration"),
                                    Key("digit_interval"), Caption(5301),    Key("primary_id"),
                                    Key("ptt_id_type"),    Key("side_tone"), Key("short_beep")};
// The emergency view shows every one of these fields at every level (its table keeps the ID
// type, the signalling system, the send mode and the polite send times from the other views).
constexpr PrintLine kEmergencyLines[] = {Always("revert_channel"),    Always("id_type"),
                                         Always("signaling_system"),  Always("id"),
                                         Always("send_mode"),         Always("impolite_send_times"),
                                         Always("polite_send_times"), Always("power_switch"),
                                         Always("alarm_mode"),        Always("alarm_duration"),
                                         Always("alarm_cycles_mode"), Always("alarm_cycles"),
                                         Always("voice_cycles_mode"), Always("voice_cycles"),
                                         Always("squelch_mode"),      Always("tx_duration"),
                                         Always("rx_duration")};
constexpr PrintLine kScanLines[] = {Caption(3800),
                                    Key("ctcss_scan_mode"),
                                    Key("tx_mode"),
                                    Key("hang_time"),
                                    Key("designated_channel"),
                                    Key("priority_1_mode"),
                                    Key("priority_1_channel"),
                                    Key("sweep_time"),
                                    Key("start_alert"),
                                    Key("end_alert"),
                                    Key("include_current"),
                                    Key("talkback"),
                                    Key("signaling_scan_mode"),
                                    Key("nuisance_delete"),
                                    Key("nuisance_reset"),
                                    Key("priority_1_delete_add"),
                                    Key("priority_2_mode"),
                                    Key("priority_2_channel"),
                                    Key("priority_2_delete_add"),
                                    Key("priority_alert"),
                                    Caption(3803),
                                    Key("entries")};
// The four messages; the password is never printed.
constexpr PrintLine kEmbeddedLines[] = {Key("message_1"), Key("message_2"), Key("message_3"),
                                        Key("message_4")};

/// The value of a field when a section prints it otherwise than the field's own text.
using ValueRule = std::optional<std::string> (*)(const FieldRef&, std::span<const uint8_t>,
                                                 const CTextService&);

/// Caption of the scan list's member channels.
constexpr int kScanMembersCaption = 3803;
/// Captions of the two frequency tables of the test frequencies.
constexpr int kTestTableCaption = 4012;
constexpr int kPointTableCaption = 4013;

ReportRow SectionRow(std::string title)
{
    return {ReportRowKind::Section, {{1, {}}, {1, std::move(title)}, {1, {}}}};
}

ReportRow FieldRow(std::string label, std::string value)
{
    return {ReportRowKind::Field,
            {{kLabelWidth, std::move(label)}, {kValueWidth, std::move(value)}}};
}

/// Starts a section: a blank line first unless it is the report's first row.
void AddTitle(std::vector<ReportRow>& out, std::string title)
{
    if (!out.empty()) out.push_back({ReportRowKind::Blank, {}});
    out.push_back(SectionRow(std::move(title)));
}

/// The value of a field as printed: the view's text, a check box as text 20 or 21.
std::string PrintedValue(const FieldRef& field, std::span<const uint8_t> record,
                         const CTextService& texts)
{
    if (field.def->kind == FieldKind::Flag)
        return texts.LoadText(GetNumber(field, record) ? ReportText::kChecked
                                                       : ReportText::kUnchecked);
    return GetText(field, record, texts);
}

/// True when the line's field is printed at the settings' user level and model.
bool LinePrinted(const PrintLine& line, const FieldDef& def, const CSettings& settings)
{
    if (line.shown && !line.shown()) return false;
    return line.anyLevel || SeenAt(def, settings.UserLevel());
}

/// The rows of one record by its layout.
void AddLines(const FieldTable& table, std::span<const PrintLine> lines,
              std::span<const uint8_t> record, const CSettings& settings,
              std::vector<ReportRow>& out, ValueRule rule = nullptr)
{
    for (const PrintLine& line : lines) {
        if (line.group) {
            out.push_back({ReportRowKind::Group, {{1, settings.LoadText(line.group)}}});
            continue;
        }
        const std::optional<FieldRef> field = FindField(table, line.key);
        if (!field) continue;  // a layout names only fields of its table (tested)
        if (!LinePrinted(line, *field->def, settings)) continue;
        std::optional<std::string> value;
        if (rule) value = rule(*field, record, settings);
        out.push_back(FieldRow(settings.LoadText(field->LabelId()),
                               value ? std::move(*value) : PrintedValue(*field, record, settings)));
    }
}

/// A block: the section title, then its lines.
void AddBlock(int formId, const FieldTable& table, std::span<const PrintLine> lines,
              const CRawRecord& record, const CSettings& settings, std::vector<ReportRow>& out)
{
    AddTitle(out, settings.LoadText(formId));
    AddLines(table, lines, record.Bytes(), settings, out);
}

/// A list: one titled block per item ("<title> - <n>"), or the title and a note for none.
/// `extra` adds the rows a section prints beyond its lines (the item and its rows).
template <class T, class Extra>
void AddList(int formId, const FieldTable& table, std::span<const PrintLine> lines,
             ItemList<T>& items, const CSettings& settings, std::vector<ReportRow>& out,
             Extra extra, ValueRule rule = nullptr)
{
    const std::string title = settings.LoadText(formId);
    if (items.size() == 0) {
        AddTitle(out, title);
        out.push_back(FieldRow(settings.LoadText(ReportText::kNoItems), {}));
        return;
    }
    unsigned n = 0;
    for (auto& item : items) {
        AddTitle(out, title + " - " + std::to_string(++n));
        AddLines(table, lines, item->Raw().Bytes(), settings, out, rule);
        extra(*item, out);
    }
}

constexpr auto kNoExtra = [](const auto&, std::vector<ReportRow>&) {};

void AddRadioInfo(RadioData& radio, const CSettings& settings, std::vector<ReportRow>& out)
{
    const RadioInfoFields f = ToFields(radio.RadioInfo(), settings);
    AddTitle(out, settings.LoadText(CPrintSelection::Row(0).formId));
    const std::pair<int, const std::string*> lines[] = {
        {1110, &f.modelName},     {1112, &f.frequencyRange},  {1114, &f.serialNumber},
        {1118, &f.signalingType}, {1116, &f.firmwareVersion}, {1120, &f.lastProgrammed}};
    for (const auto& [label, value] : lines)
        out.push_back(FieldRow(settings.LoadText(label), *value));
}

/// A table of numbered receive and transmit frequencies.
void AddFrequencyTable(int caption, std::string_view rxKey, std::string_view txKey,
                       std::span<const uint8_t> record, const CTextService& texts,
                       std::vector<ReportRow>& out)
{
    out.push_back({ReportRowKind::Group, {{1, texts.LoadText(caption)}}});
    out.push_back({ReportRowKind::Columns,
                   {{kNumberWidth, texts.LoadText(ReportText::kColumnNumber)},
                    {kRxWidth, texts.LoadText(ReportText::kColumnRx)},
                    {kTxWidth, texts.LoadText(ReportText::kColumnTx)}}});
    const FieldDef* rx = FindField(kTestFreqFieldTable, std::string(rxKey) + "_1")->def;
    const FieldDef* tx = FindField(kTestFreqFieldTable, std::string(txKey) + "_1")->def;
    for (unsigned k = 0; k < rx->count; ++k)
        out.push_back({ReportRowKind::Field,
                       {{kNumberWidth, std::to_string(k + 1)},
                        {kRxWidth, GetText(FieldRef{rx, k}, record, texts)},
                        {kTxWidth, GetText(FieldRef{tx, k}, record, texts)}}});
}

void AddTestFrequencies(RadioData& radio, const CTextService& texts, std::vector<ReportRow>& out)
{
    AddTitle(out, texts.LoadText(kTestFreqFieldTable.title));
    const std::span<const uint8_t> record = radio.TestFreq().Raw().Bytes();
    AddFrequencyTable(kTestTableCaption, "test_rx", "test_tx", record, texts, out);
    AddFrequencyTable(kPointTableCaption, "point_rx", "point_tx", record, texts, out);
}

/// A channel a scan list names: its number when the channel is in use, "Channel 9 (not in
/// use)" when the channel is not in use or the list has no channel 9, "" for none.
std::optional<std::string> ScanChannelText(const FieldRef& field, std::span<const uint8_t> record,
                                           const CTextService& texts)
{
    if (field.def->kind != FieldKind::ItemRef) return std::nullopt;
    const uint32_t number = GetNumber(field, record);
    if (static_cast<int64_t>(number) == field.def->refNone) return std::string();
    if (CScanData::ChannelIdOfNumber(static_cast<uint8_t>(number)) != 0)
        return std::to_string(number);
    return FormatTextNumber(
        TextOr(texts.LoadText(ReportText::kChannelNotInUse), "Channel %d (not in use)"), number);
}

/// The member channels of a scan list after its number of entries: as many as the list has
/// entries (the member boxes the view lets the user fill).
void AddScanMembers(std::span<const uint8_t> record, const CTextService& texts,
                    std::vector<ReportRow>& out)
{
    const std::optional<FieldRef> entries = FindField(kScanFieldTable, "entries");
    const size_t count = EnabledMemberBoxes(GetText(*entries, record, texts));
    for (const FieldRef& field : Fields(kScanFieldTable)) {
        if (field.def->key != "member" || field.index >= count) continue;
        out.push_back(FieldRow(LabelText(field, texts),
                               ScanChannelText(field, record, texts).value_or(std::string())));
    }
}

/// The alias of a channel (kept for the session), as the channel's Basic page shows it.
void AddChannelAlias(RadioData& radio, const CChannelData& channel, const CTextService& texts,
                     std::vector<ReportRow>& out)
{
    out.push_back(
        FieldRow(texts.LoadText(ReportText::kChannelAlias), radio.ChannelAlias(channel.id_)));
}

/// The maintenance board: one line per record with its number, date, kind, detail and result
/// under the column heads of the board's grid.
void AddMaintenanceBoard(const ReportSources& sources, const CTextService& texts,
                         std::vector<ReportRow>& out)
{
    AddTitle(out, texts.LoadText(CPrintSelection::Row(kBoardRow).formId));
    const CMaintainBoard board = sources.board ? CMaintainBoard(*sources.board) : CMaintainBoard();
    if (board.Count() == 0) {
        out.push_back(FieldRow(texts.LoadText(ReportText::kNoItems), {}));
        return;
    }
    static constexpr const char* kEnglishHeads[] = {"No.", "Date", "Kind of Work", "Detail",
                                                    "Result"};
    static constexpr int kWidths[] = {2, 4, 5, 6, 3};
    const std::vector<std::string> heads = SplitChoiceNames(texts.LoadText(BoardText::kColumns));
    ReportRow columns{ReportRowKind::Columns, {}};
    for (size_t c = 0; c < std::size(kWidths); ++c)
        columns.cells.push_back(
            {kWidths[c], c < heads.size() && !heads[c].empty() ? heads[c] : kEnglishHeads[c]});
    out.push_back(std::move(columns));
    for (size_t k = 0; k < board.Count(); ++k) {
        const std::array<std::string, 4> cells = BoardRowTexts(texts, board.Record(k));
        ReportRow row{ReportRowKind::Field, {{kWidths[0], std::to_string(k + 1)}}};
        for (size_t c = 0; c < cells.size(); ++c) row.cells.push_back({kWidths[c + 1], cells[c]});
        out.push_back(std::move(row));
    }
}

/// True for an image byte of the embedded messages' password.
bool IsPasswordByte(size_t address)
{
    const size_t first = CEmbeddedBlock::kImageAddress + CEmbeddedBlock::Offset::kPassword;
    return address >= first && address < first + CEmbeddedBlock::Offset::kPasswordWidth;
}

/// The data watch: its log of changed bytes (the lines of an open Data Watch window), then its
/// table of the memory image. The password bytes of the embedded messages show "**", in the
/// table and in the log.
void AddDataWatch(RadioData& radio, const ReportSources& sources, const CTextService& texts,
                  std::vector<ReportRow>& out)
{
    AddTitle(out, texts.LoadText(CPrintSelection::Row(kDataWatchRow).formId));
    out.push_back({ReportRowKind::Group, {{1, texts.LoadText(DataWatchText::kLogLabel)}}});
    if (sources.watchLog.empty()) out.push_back(FieldRow(texts.LoadText(ReportText::kNoItems), {}));
    for (const WatchEntry& e : sources.watchLog) {
        const size_t address = static_cast<size_t>((e.row - 1) * 16 + (e.column - 1));
        std::string line = e.line;
        if (IsPasswordByte(address)) {
            // "$E.0x%X:%.2X->%.2X": the two values after the address.
            const size_t colon = line.find(':');
            if (colon != std::string::npos) line = line.substr(0, colon + 1) + "**->**";
        }
        out.push_back(FieldRow(std::move(line), {}));
    }

    out.push_back({ReportRowKind::Group, {{1, texts.LoadText(DataWatchText::kTable)}}});
    const CDataWatch::Image& image = sources.watchImage ? *sources.watchImage : radio.MemoryImage();
    CDataWatch watch;
    watch.Open(image);
    const std::string corner = TextOr(texts.LoadText(DataWatchText::kCorner), "Addr");
    constexpr int kHeadWidth = 3;
    constexpr int kByteWidth = 2;
    for (int r = 0; r < CDataWatch::kRows; ++r) {
        ReportRow row{r == 0 ? ReportRowKind::Columns : ReportRowKind::Field, {}};
        for (int c = 0; c < CDataWatch::kColumns; ++c) {
            std::string text = watch.CellText(r, c, corner);
            if (r > 0 && c > 0 && IsPasswordByte(static_cast<size_t>((r - 1) * 16 + (c - 1))))
                text = "**";
            row.cells.push_back({c == 0 ? kHeadWidth : kByteWidth, std::move(text)});
        }
        out.push_back(std::move(row));
    }
}

}  // namespace

void BuildSection(size_t index, RadioData& radio, const CSettings& settings,
                  std::vector<ReportRow>& out, const ReportSources& sources)
{
    const int formId = CPrintSelection::Row(index).formId;
    switch (index) {
        case 0:
            AddRadioInfo(radio, settings, out);
            break;
        case 1:
            AddBlock(formId, kKeyFieldTable, kKeyLines, radio.Keys().Raw(), settings, out);
            break;
        case 2:
            AddBlock(formId, kMiscFieldTable, kMiscLines, radio.Misc().Raw(), settings, out);
            break;
        case 3:
            AddBlock(formId, kVolumeFieldTable, kVolumeLines, radio.Volume().Raw(), settings, out);
            break;
        case 4:
            AddBlock(formId, kVoxFieldTable, kVoxLines, radio.Vox().Raw(), settings, out);
            break;
        case 5:
            AddBlock(formId, kModeFieldTable, kModeLines, radio.Mode().Raw(), settings, out);
            break;
        case 6:
            AddList(formId, kChannelFieldTable, kChannelLines, radio.Channels(), settings, out,
                    [&](const CChannelData& channel, std::vector<ReportRow>& rows) {
                        AddChannelAlias(radio, channel, settings, rows);
                    });
            break;
        case 7:
            AddList(formId, kPersonalityFieldTable, kPersonalityLines, radio.Personalities(),
                    settings, out, kNoExtra);
            break;
        case 8:
            AddList(formId, kDtmfFieldTable, kDtmfLines, radio.DtmfSystems(), settings, out,
                    kNoExtra);
            break;
        case 9:
            AddList(
                formId, kScanFieldTable, kScanLines, radio.ScanLists(), settings, out,
                [&settings](const CScanData& scan, std::vector<ReportRow>& rows) {
                    AddScanMembers(scan.Raw().Bytes(), settings, rows);
                },
                &ScanChannelText);
            break;
        case 10:
            AddTestFrequencies(radio, settings, out);
            break;
        case kMicrophoneRow:
            AddBlock(formId, kMicFieldTable, kMicLines, radio.Mic().Raw(), settings, out);
            break;
        case kEmergencyRow:
            AddBlock(formId, kEmergencyFieldTable, kEmergencyLines, radio.Emergency().Raw(),
                     settings, out);
            break;
        case kEmbeddedRow:
            AddBlock(formId, kEmbeddedFieldTable, kEmbeddedLines, radio.Embedded().Raw(), settings,
                     out);
            break;
        case kBoardRow:
            AddMaintenanceBoard(sources, settings, out);
            break;
        case kDataWatchRow:
            AddDataWatch(radio, sources, settings, out);
            break;
        default:
            break;
    }
}

bool SectionOffered(size_t index, const CSettings& settings)
{
    switch (index) {
        case 8:
        case kEmergencyRow:
            // The models without a DTMF system have no emergency view either.
            return !settings.EditionFlag();
        case kBoardRow:
            return settings.IsServiceLevel();
        case kDataWatchRow:
            return settings.IsFullServiceLevel();
        default:
            return index < CPrintSelection::Count();
    }
}

std::vector<ReportRow> BuildReport(RadioData& radio, const CPrintSelection& selection,
                                   const CSettings& settings, const ReportSources& sources)
{
    std::vector<ReportRow> rows;
    for (size_t i : kPrintOrder)
        if (selection.Selected(i) && SectionOffered(i, settings))
            BuildSection(i, radio, settings, rows, sources);
    return rows;
}

PageMetrics PageMetrics::ForPageMm(double widthMm, double heightMm)
{
    PageMetrics m;
    m.pageWidth = static_cast<int>(std::lround(widthMm * 10));
    m.pageHeight = static_cast<int>(std::lround(heightMm * 10));
    return m;
}

int PageMetrics::LinesPerPage() const
{
    return std::max(1, (pageHeight - 2 * kBand) / kLineHeight - 5);
}

int PageMetrics::TopOffset() const
{
    return ((pageHeight - 2 * kBand) % kLineHeight + kLineHeight) / 2;
}

std::vector<ReportPage> Paginate(const std::vector<ReportRow>& rows, int linesPerPage)
{
    const size_t perPage = static_cast<size_t>(std::max(1, linesPerPage));
    const auto isField = [&](size_t k) { return rows[k].kind == ReportRowKind::Field; };
    // The rows up to and including the first field from row i.
    const auto toFirstField = [&](size_t i) {
        size_t j = i;
        while (j + 1 < rows.size() && !isField(j)) ++j;
        return j - i + 1;
    };
    // The rows a title keeps on its page: its whole block when a page holds it, else the rows
    // up to its first field.
    const auto titleNeeds = [&](size_t i) {
        size_t end = i + 1;
        while (end < rows.size() && rows[end].kind != ReportRowKind::Section &&
               rows[end].kind != ReportRowKind::Blank)
            ++end;
        return end - i <= perPage ? end - i : toFirstField(i);
    };
    std::vector<ReportPage> pages(1);
    size_t title = rows.size();  // the title row of the section being laid out
    for (size_t i = 0; i < rows.size(); ++i) {
        const ReportRowKind kind = rows[i].kind;
        if (kind == ReportRowKind::Blank && pages.back().empty()) continue;
        if (kind == ReportRowKind::Section) title = i;
        // A title goes with its block (a blank line with the title after it); a caption with
        // all its rows when a page holds them, else up to its first field.
        size_t needed = isField(i) ? 1 : toFirstField(i);
        if (kind == ReportRowKind::Section) needed = titleNeeds(i);
        if (kind == ReportRowKind::Blank && i + 1 < rows.size() &&
            rows[i + 1].kind == ReportRowKind::Section)
            needed = 1 + titleNeeds(i + 1);
        if (kind == ReportRowKind::Group) {
            size_t end = i + 1;
            while (end < rows.size() && (isField(end) || rows[end].kind == ReportRowKind::Columns))
                ++end;
            if (end - i + 1 <= perPage) needed = end - i;
        }
        if (pages.back().size() + std::min(needed, perPage) > perPage) {
            pages.emplace_back();
            if (kind == ReportRowKind::Blank) continue;
            // A section that goes on over the page break shows its title again.
            if (kind != ReportRowKind::Section && title < rows.size() && needed + 1 <= perPage)
                pages.back().push_back(title);
        }
        pages.back().push_back(i);
    }
    return pages;
}

std::string HeaderText(const std::string& documentPath, const CTextService& texts)
{
    return documentPath.empty() ? texts.LoadText(ReportText::kProgramTitle) : documentPath;
}

std::string PageText(int page, int pageCount, const std::string& format)
{
    // The page number first, so that the count fills the second placeholder.
    return FormatTextNumber(FormatTextNumber(format, page), pageCount);
}

std::string PrintTimeText(const std::tm& time)
{
    char buf[32];
    const size_t n = std::strftime(buf, sizeof buf, "%m/%d/%Y %H:%M:%S", &time);
    return std::string(buf, n);
}

static_assert(std::size(kPrintSectionNames) == kPrintRowCount);

std::string PrintSectionNameList()
{
    std::string out;
    for (const char* name : kPrintSectionNames) out += (out.empty() ? "" : ",") + std::string(name);
    return out;
}

std::optional<std::string> SelectSectionNames(CPrintSelection& selection, const std::string& list)
{
    CPrintSelection chosen;
    if (list == "all") {
        for (size_t i = 0; i < kPrintRowCount; ++i) chosen.SetSelected(i, true);
        selection = chosen;
        return std::nullopt;
    }
    size_t start = 0;
    while (true) {
        const size_t comma = list.find(',', start);
        const std::string name =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const auto* found =
            std::find_if(std::begin(kPrintSectionNames), std::end(kPrintSectionNames),
                         [&](const char* n) { return name == n; });
        if (found == std::end(kPrintSectionNames)) return name;
        chosen.SetSelected(static_cast<size_t>(found - std::begin(kPrintSectionNames)), true);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    selection = chosen;
    return std::nullopt;
}

void SelectCheckedItems(CPrintSelection& selection, const std::vector<int>& checkedCommands)
{
    selection.ClearAll();
    for (int command : checkedCommands) {
        // The list items stand under their groups, whose commands are the catalogue's.
        if (command == Id(Command::Channel)) command = Id(Command::ChannelGroup);
        if (command == Id(Command::Personality)) command = Id(Command::PersonalityGroup);
        selection.SelectCommand(static_cast<uint32_t>(command), true);
    }
}

EmptySelectionAnswer CEmptySelectionCounter::Next()
{
    if (left_ != 0) {
        --left_;
        return {kMsgSelectSomething, false};
    }
    left_ = 3;
    return {kMsgNothingPrinted, true};
}

CEmptySelectionCounter& CEmptySelectionCounter::Instance()
{
    static CEmptySelectionCounter counter;
    return counter;
}

std::vector<InfoPair> RadioInfoBlock(RadioData& radio, const CSettings& settings)
{
    const RadioInfoFields f = ToFields(radio.RadioInfo(), settings);
    return {{settings.LoadText(1110), f.modelName},
            {settings.LoadText(1112), f.frequencyRange},
            {settings.LoadText(1116), f.firmwareVersion}};
}

ReportDocument MakeReportDocument(RadioData& radio, const CPrintSelection& selection,
                                  const CSettings& settings, const std::string& documentPath,
                                  const std::tm& now, const ReportSources& sources)
{
    ReportDocument doc;
    doc.rows = BuildReport(radio, selection, settings, sources);
    doc.header = HeaderText(documentPath, settings);
    doc.info = RadioInfoBlock(radio, settings);
    doc.printTime = PrintTimeText(now);
    doc.pageFormat = TextOr(settings.LoadText(ReportText::kPageOfPages), "Page %d of %d");
    return doc;
}

}  // namespace rv
