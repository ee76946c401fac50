#include "report/PrintReport.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/FieldTable.h"
#include "data/PrintSelection.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelFieldTable.h"
#include "editors/dtmf/DtmfFieldTable.h"
#include "editors/general/MiscFieldTable.h"
#include "editors/general/ModeFieldTable.h"
#include "editors/general/VolumeFieldTable.h"
#include "editors/general/VoxFieldTable.h"
#include "editors/keys/KeyFieldTable.h"
#include "editors/personality/PersonalityFieldTable.h"
#include "editors/radio/RadioInfoFields.h"
#include "editors/scan/ScanFieldTable.h"
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

/// One line of a section's layout: a caption (group text id) or a field by its key.
struct PrintLine {
    int group = 0;
    std::string_view key;
};
constexpr PrintLine Caption(int textId)
{
    return {textId, {}};
}
constexpr PrintLine Key(std::string_view key)
{
    return {0, key};
}

// The sections' lines in the order of their labels; captions are the views' page and group
// captions.
constexpr PrintLine kKeyLines[] = {Key("sk1_short"), Key("sk1_long"), Key("sk2_short"),
                                   Key("sk2_long")};
constexpr PrintLine kMiscLines[] = {
    Key("squelch_level"), Key("tail_revert"), Key("battery_save_mode"),  Key("battery_save_delay"),
    Key("power_led"),     Key("scan_led"),    Key("channel_change_beep")};
constexpr PrintLine kVolumeLines[] = {Key("alert_tone")};
constexpr PrintLine kVoxLines[] = {Key("gain_level"), Key("delay_time")};
constexpr PrintLine kModeLines[] = {Key("panel_test"), Key("clone"), Key("factory_clone")};
constexpr PrintLine kChannelLines[] = {
    Caption(3656),       Key("spacing"),  Key("power"),     Caption(3664),
    Key("rx_frequency"), Key("rx_dcs"),   Key("rx_ctcss"),  Caption(3673),
    Key("tx_frequency"), Key("tx_dcs"),   Key("tx_ctcss"),  Caption(3657),
    Key("personality"),  Key("scramble"), Key("compandor"), Key("auto_start_scan")};
constexpr PrintLine kPersonalityLines[] = {
    Caption(2311),     Key("tx_admit"),  Key("tx_time_out"), Key("tot_pre_alert"),
    Key("tot_re_key"), Key("tot_reset"), Caption(2313),      Key("tx_optional_signaling")};
constexpr PrintLine kDtmfLines[] = {Caption(5302),         Key("pretime"),   Key("digit_duration"),
                                    Key("digit_interval"), Caption(5301),    Key("primary_id"),
                                    Key("ptt_id_type"),    Key("side_tone"), Key("short_beep")};
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
                                    Caption(3803),
                                    Key("entries")};

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

/// The rows of one record by its layout.
void AddLines(const FieldTable& table, std::span<const PrintLine> lines,
              std::span<const uint8_t> record, const CTextService& texts,
              std::vector<ReportRow>& out)
{
    for (const PrintLine& line : lines) {
        if (line.group) {
            out.push_back({ReportRowKind::Group, {{1, texts.LoadText(line.group)}}});
            continue;
        }
        const std::optional<FieldRef> field = FindField(table, line.key);
        if (!field) continue;  // a layout names only fields of its table (tested)
        out.push_back(
            FieldRow(texts.LoadText(field->LabelId()), PrintedValue(*field, record, texts)));
    }
}

/// A block: the section title, then its lines.
void AddBlock(int formId, const FieldTable& table, std::span<const PrintLine> lines,
              const CRawRecord& record, const CTextService& texts, std::vector<ReportRow>& out)
{
    AddTitle(out, texts.LoadText(formId));
    AddLines(table, lines, record.Bytes(), texts, out);
}

/// A list: one titled block per item ("<title> - <n>"), or the title and a note for none.
template <class T, class Extra>
void AddList(int formId, const FieldTable& table, std::span<const PrintLine> lines,
             ItemList<T>& items, const CTextService& texts, std::vector<ReportRow>& out,
             Extra extra)
{
    const std::string title = texts.LoadText(formId);
    if (items.size() == 0) {
        AddTitle(out, title);
        out.push_back(FieldRow(texts.LoadText(ReportText::kNoItems), {}));
        return;
    }
    unsigned n = 0;
    for (auto& item : items) {
        AddTitle(out, title + " - " + std::to_string(++n));
        AddLines(table, lines, item->Raw().Bytes(), texts, out);
        extra(item->Raw().Bytes(), out);
    }
}

constexpr auto kNoExtra = [](std::span<const uint8_t>, std::vector<ReportRow>&) {};

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

/// The member channels of a scan list after its number of entries: the members that are set.
void AddScanMembers(std::span<const uint8_t> record, const CTextService& texts,
                    std::vector<ReportRow>& out)
{
    for (const FieldRef& field : Fields(kScanFieldTable)) {
        if (field.def->key != "member") continue;
        std::string value = GetText(field, record, texts);
        if (!value.empty()) out.push_back(FieldRow(LabelText(field, texts), std::move(value)));
    }
}

}  // namespace

void BuildSection(size_t index, RadioData& radio, const CSettings& settings,
                  std::vector<ReportRow>& out)
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
                    kNoExtra);
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
            AddList(formId, kScanFieldTable, kScanLines, radio.ScanLists(), settings, out,
                    [&settings](std::span<const uint8_t> record, std::vector<ReportRow>& rows) {
                        AddScanMembers(record, settings, rows);
                    });
            break;
        case 10:
            AddTestFrequencies(radio, settings, out);
            break;
        default:
            break;
    }
}

std::vector<ReportRow> BuildReport(RadioData& radio, const CPrintSelection& selection,
                                   const CSettings& settings)
{
    std::vector<ReportRow> rows;
    for (size_t i = 0; i < CPrintSelection::Count(); ++i)
        if (selection.Selected(i)) BuildSection(i, radio, settings, rows);
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
    std::vector<ReportPage> pages(1);
    size_t title = rows.size();  // the title row of the section being laid out
    for (size_t i = 0; i < rows.size(); ++i) {
        const ReportRowKind kind = rows[i].kind;
        if (kind == ReportRowKind::Blank && pages.back().empty()) continue;
        if (kind == ReportRowKind::Section) title = i;
        // A title goes with the rows up to its first field (a blank line with the title after
        // it); a caption with all its rows when a page holds them, else up to its first field.
        size_t needed = isField(i) ? 1 : toFirstField(i);
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
                                  const std::tm& now)
{
    ReportDocument doc;
    doc.rows = BuildReport(radio, selection, settings);
    doc.header = HeaderText(documentPath, settings);
    doc.info = RadioInfoBlock(radio, settings);
    doc.printTime = PrintTimeText(now);
    doc.pageFormat = TextOr(settings.LoadText(ReportText::kPageOfPages), "Page %d of %d");
    return doc;
}

}  // namespace rv
