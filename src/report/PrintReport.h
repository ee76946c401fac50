#pragma once
// The printed summary of the radio: the rows of the selected sections (each made from the
// category's field table, with the texts its view shows), the page metrics, the split of the
// rows into pages and the texts of the page frame. Drawing is left to the renderer; everything
// that decides what goes on which page lives here.

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "data/Document.h"
#include "service/DataWatch.h"

namespace rv {

class CPrintSelection;
class CSettings;
class CTextService;
class RadioData;

/// Texts of the report and its frame (interface texts, "S02%05d").
struct ReportText {
    static constexpr int kChecked = 20;             ///< a check box that is set
    static constexpr int kUnchecked = 21;           ///< a check box that is clear
    static constexpr int kProgramTitle = 128;       ///< header of a document without a path
    static constexpr int kPageOfPages = 39850;      ///< "Page %d of %d"
    static constexpr int kNoItems = 39851;          ///< a list section without items
    static constexpr int kColumnNumber = 39852;     ///< "No." column of the frequency tables
    static constexpr int kColumnRx = 39853;         ///< receive column of the frequency tables
    static constexpr int kColumnTx = 39854;         ///< transmit column of the frequency tables
    static constexpr int kChannelAlias = 3690;      ///< label of a channel's alias
    static constexpr int kChannelNotInUse = 41400;  ///< "Channel %d (not in use)"
};

/// Catalogue rows of the categories beyond the first eleven.
inline constexpr size_t kMicrophoneRow = 11;
inline constexpr size_t kEmergencyRow = 12;
inline constexpr size_t kEmbeddedRow = 13;
inline constexpr size_t kBoardRow = 14;
inline constexpr size_t kDataWatchRow = 15;
/// The catalogue rows in the order the report prints them: the navigation tree's.
// clang-format off
inline constexpr size_t kPrintOrder[] = {
    0, 1, 2, 3, kMicrophoneRow, 4, 5, 6, 7, 8, kEmergencyRow, 9, kEmbeddedRow, 10, kBoardRow,
    kDataWatchRow};
// clang-format on

/// What the report prints that the radio data object does not hold: the document's
/// maintenance board and what an open Data Watch window shows.
struct ReportSources {
    const BoardBytes* board = nullptr;              ///< none: an empty board
    const CDataWatch::Image* watchImage = nullptr;  ///< none: the memory image
    std::vector<WatchEntry> watchLog;               ///< the Data Watch window's log
};

/// What a row of the report is; the renderer picks its font and layout by it.
enum class ReportRowKind {
    Section,  ///< a section or list-item title: three equal cells, the title in the middle
    Group,    ///< a page or group caption inside a section: one cell
    Columns,  ///< column heads of a table inside a section
    Field,    ///< label and value (or the cells of a table line)
    Blank,    ///< space before a section; dropped at the top of a page
};

/// One cell of a row: its relative width and its text.
struct ReportCell {
    int width = 1;
    std::string text;
};

/// One line of the report.
struct ReportRow {
    ReportRowKind kind = ReportRowKind::Field;
    std::vector<ReportCell> cells;
};

/// True when the category of catalogue row `index` is offered at the settings' user level and
/// model, as the navigation tree offers it: the maintenance board at the service levels, the
/// data watch at the full service level, the DTMF system and the emergency view for the models
/// that have them.
bool SectionOffered(size_t index, const CSettings& settings);
/// The rows of every selected section that is offered, in the navigation tree's order. Each
/// field prints where its view shows it: at the settings' user level, for the current model.
std::vector<ReportRow> BuildReport(RadioData& radio, const CPrintSelection& selection,
                                   const CSettings& settings, const ReportSources& sources = {});
/// Appends the rows of catalogue row `index` (0-based) to `out`.
void BuildSection(size_t index, RadioData& radio, const CSettings& settings,
                  std::vector<ReportRow>& out, const ReportSources& sources = {});

/// Page metrics in units of 0.1 mm.
struct PageMetrics {
    static constexpr int kSideMargin = 30;
    static constexpr int kBand = 150;  ///< height of the header and of the footer band
    static constexpr int kLineHeight = 50;
    int pageWidth = 2100;
    int pageHeight = 2970;

    /// A page of the printer's physical size in millimetres.
    static PageMetrics ForPageMm(double widthMm, double heightMm);
    /// Body lines of a page: (height - 2 x band) / line - 5; at least 1.
    int LinesPerPage() const;
    /// Space above the body: half of the height the lines leave over plus half a line.
    int TopOffset() const;
    /// Width between the side margins.
    int PrintableWidth() const { return pageWidth - 2 * kSideMargin; }
};

/// The rows one page shows, as indexes into the report.
using ReportPage = std::vector<size_t>;

/// Splits the rows into pages of `linesPerPage` lines. A title is kept on one page with all of
/// its block (the rows up to the next blank or title) when a page holds it, else with the rows
/// up to its first field; a caption with its rows when a page holds them (else up to its
/// first field); a section that goes on over a page break repeats its title at the top of the
/// next page; a blank row at the top of a page is dropped. An empty report still has one page
/// (its frame). A page lists row indexes; a repeated title appears on both pages.
std::vector<ReportPage> Paginate(const std::vector<ReportRow>& rows, int linesPerPage);

/// The header's text: the document's path, or text 128 when it has none.
std::string HeaderText(const std::string& documentPath, const CTextService& texts);
/// The footer's page text: `format` (text "Page %d of %d") with the page and the count.
std::string PageText(int page, int pageCount, const std::string& format);
/// The footer's time of printing, "%m/%d/%Y %H:%M:%S".
std::string PrintTimeText(const std::tm& time);

/// The command line's names of the catalogue rows, in catalogue order.
// clang-format off
inline constexpr const char* kPrintSectionNames[] = {
    "radio", "keys", "misc", "volume", "vox", "mode", "channels", "personalities", "dtmf", "scan",
    "test_frequencies", "microphone", "emergency", "embedded", "maintenance_board", "data_watch"};
// clang-format on
/// The names joined with commas, for messages.
std::string PrintSectionNameList();
/// Selects the sections of a comma-separated list of names, or every section for "all".
/// Returns the first name that is no section (the selection is then unchanged), nothing on
/// success. An empty name (an empty list, two commas) is no section either.
std::optional<std::string> SelectSectionNames(CPrintSelection& selection, const std::string& list);

/// Sets the print selection from the checked items of the Print Tree screen: every flag is
/// cleared, then each checked item whose command is a catalogue row's selects that row; a
/// checked channel or personality item selects its group's row.
void SelectCheckedItems(CPrintSelection& selection, const std::vector<int>& checkedCommands);

/// What the Print Tree screen does on OK with nothing checked.
struct EmptySelectionAnswer {
    int message;  ///< message to show (1229 or 1228), captioned with message 1173
    bool cancel;  ///< true: the screen closes with Cancel; false: it stays open
};
/// The counter of OK presses with nothing checked: three times message 1229 and the screen
/// stays open, the fourth time message 1228 and the print is cancelled; then it starts again.
class CEmptySelectionCounter {
public:
    static constexpr int kMsgCaption = 1173;
    static constexpr int kMsgSelectSomething = 1229;
    static constexpr int kMsgNothingPrinted = 1228;
    /// The answer to one more OK with nothing checked.
    EmptySelectionAnswer Next();
    /// The counter of the program run.
    static CEmptySelectionCounter& Instance();

private:
    int left_ = 3;
};

/// One label and value of the radio information block printed on every page.
struct InfoPair {
    std::string label;
    std::string value;
};
/// Labels 1110, 1112 and 1116 with the values the radio information view shows.
std::vector<InfoPair> RadioInfoBlock(RadioData& radio, const CSettings& settings);

/// Everything one print draws: the rows and the texts of the page frame.
struct ReportDocument {
    std::vector<ReportRow> rows;
    std::string header;          ///< HeaderText
    std::vector<InfoPair> info;  ///< the radio information block of every page
    std::string printTime;       ///< PrintTimeText of the time of printing
    std::string pageFormat;      ///< "Page %d of %d" of the language file
};
/// The document of the selected sections of the radio data, printed at `now`.
ReportDocument MakeReportDocument(RadioData& radio, const CPrintSelection& selection,
                                  const CSettings& settings, const std::string& documentPath,
                                  const std::tm& now, const ReportSources& sources = {});

}  // namespace rv
