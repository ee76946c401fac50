#pragma once
// The main window's tables and rules: which view serves each tree item, the tree layout, the
// menu layout, which entries the user level and the model edition remove, and the small rules
// of the main window (list positions in titles, help topics, splash picture). Plain data and
// functions: the desktop window only builds its widgets from them. The command identifiers are
// in base/CommandIds.h, the text formatting in base/TextFormat.h.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/CommandIds.h"
#include "data/InvalidLog.h"

namespace rv {

/// The view classes a tree item can open.
enum class ViewKind {
    Radio,
    Keys,
    Misc,
    Volume,
    Vox,
    Mode,
    Channel,
    Personality,
    DtmfSystem,
    Scan,
    Emergency,
    Embedded,
    TestFreq,
    DataWatch,
    ChannelList,
    Microphone,
    MaintainBoard,
};

/// One row of the view table: which view serves a command and how many items of it exist.
struct ViewRow {
    int command;
    ViewKind kind;
    const char* className;
    int maxItems;  ///< 1 for single views; more for list views positioned on an item number
};

inline constexpr std::array<ViewRow, 17> kViewTable{{
    {Id(Command::RadioInformation), ViewKind::Radio, "CViewRadio", 1},
    {Id(Command::Keys), ViewKind::Keys, "CViewKeys", 1},
    {Id(Command::Misc), ViewKind::Misc, "CViewMisc", 1},
    {Id(Command::Volume), ViewKind::Volume, "CViewVolume", 1},
    {Id(Command::Vox), ViewKind::Vox, "CViewVox", 1},
    {Id(Command::Mode), ViewKind::Mode, "CViewMode", 1},
    {Id(Command::Channel), ViewKind::Channel, "CViewChannel", 16},
    {Id(Command::Personality), ViewKind::Personality, "CViewPersonality", 16},
    {Id(Command::DtmfSystem), ViewKind::DtmfSystem, "CViewDTMFSystem", 1},
    {Id(Command::Scan), ViewKind::Scan, "CViewScan", 2},
    {Id(Command::Emergency), ViewKind::Emergency, "CViewEmergency", 1},
    {Id(Command::Embedded), ViewKind::Embedded, "CViewEmbedded", 1},
    {Id(Command::TestFreq), ViewKind::TestFreq, "CViewTestFreq", 1},
    {Id(Command::DataWatch), ViewKind::DataWatch, "CDataWatchView", 1},
    {Id(Command::ChannelList), ViewKind::ChannelList, "CViewChannelList", 1},
    {Id(Command::Microphone), ViewKind::Microphone, "CViewMicrophone", 1},
    {Id(Command::MaintainBoard), ViewKind::MaintainBoard, "CViewMaintainBoard", 1},
}};

/// One row of the navigation tree: text number (also the item's command) and depth below the
/// root (0 = child of the root, 1 = child of the last level-0 row).
struct TreeRow {
    int textId;
    int level;
    const char* english;  ///< shown when the language file has no text
};

inline constexpr std::array<TreeRow, 19> kTreeLayout{{
    {Id(Command::RadioInformation), 0, "Radio Information"},
    {Id(Command::GeneralGroup), 0, "General Settings"},
    {Id(Command::Keys), 1, "Programmable Keys"},
    {Id(Command::Misc), 1, "Miscellaneous"},
    {Id(Command::Volume), 1, "Volume"},
    {Id(Command::Microphone), 1, "Microphone"},
    {Id(Command::Vox), 1, "VOX"},
    {Id(Command::Mode), 1, "Mode"},
    {Id(Command::ChannelGroup), 0, "Channels"},
    {Id(Command::Channel), 1, "Channel"},
    {Id(Command::PersonalityGroup), 0, "Personalities"},
    {Id(Command::Personality), 1, "Personality"},
    {Id(Command::DtmfSystem), 0, "DTMF System"},
    // The emergency view has a tree item of its own; it is removed with the DTMF system for
    // the models that have neither.
    {Id(Command::Emergency), 0, "Emergency"},
    {Id(Command::Scan), 0, "Scan List"},
    {Id(Command::Embedded), 0, "Embedded Module"},
    {Id(Command::TestFreq), 0, "Test Frequency"},
    {Id(Command::MaintainBoard), 0, "Maintenance Board"},
    {Id(Command::DataWatch), 0, "Data Watch"},
}};

/// The top-level menus, in menu-bar order.
enum class Menu : int { File = 0, Edit, View, Program, Window, Help };
/// Number of top-level menus.
inline constexpr int kMenuCount = 6;
/// Text number of top-level menu i is kFirstMenuTitleText + i.
inline constexpr int kFirstMenuTitleText = 32790;

/// One entry of a top-level menu; id 0 is a separator. The entries that open views share their
/// text number with the tree item, so their texts carry no '&' mnemonic.
struct MenuEntry {
    Menu menu;
    int id;
    const char* english;   ///< shown when the language file has no text
    const char* shortcut;  ///< key sequence in portable text form, "" for none
};

/// English titles of the top-level menus, in Menu order.
inline constexpr std::array<const char*, kMenuCount> kMenuTitles{"&File",    "&Edit",   "&View",
                                                                 "&Program", "&Window", "&Help"};

inline constexpr auto kMenuLayout = std::to_array<MenuEntry>({
    {Menu::File, Id(Command::New), "&New", "Ctrl+N"},
    {Menu::File, Id(Command::Open), "&Open...", "Ctrl+O"},
    {Menu::File, Id(Command::Save), "&Save", "Ctrl+S"},
    {Menu::File, Id(Command::SaveAs), "Save &As...", ""},
    {Menu::File, 0, "", ""},
    {Menu::File, Id(Command::ExportChannels), "&Export Channels...", ""},
    {Menu::File, Id(Command::ImportChannels), "&Import Channels...", ""},
    {Menu::File, Id(Command::CompareWith), "Co&mpare With...", ""},
    {Menu::File, 0, "", ""},
    {Menu::File, Id(Command::RestoreBackup), "Restore &Backup...", ""},
    {Menu::File, 0, "", ""},
    {Menu::File, Id(Command::Print), "&Print...", "Ctrl+P"},
    {Menu::File, Id(Command::PrintPreview), "Print Pre&view", ""},
    {Menu::File, Id(Command::PrintSetup), "P&rint Setup...", ""},
    {Menu::File, 0, "", ""},
    {Menu::File, Id(Command::RecentFile1), "Recent File", ""},
    {Menu::File, Id(Command::RecentFile2), "Recent File", ""},
    {Menu::File, Id(Command::RecentFile3), "Recent File", ""},
    {Menu::File, Id(Command::RecentFile4), "Recent File", ""},
    {Menu::File, 0, "", ""},
    {Menu::File, Id(Command::Exit), "E&xit", ""},

    {Menu::Edit, Id(Command::Undo), "&Undo", "Ctrl+Z"},
    {Menu::Edit, Id(Command::Redo), "&Redo", "Ctrl+Y"},
    {Menu::Edit, 0, "", ""},
    {Menu::Edit, Id(Command::Cut), "Cu&t", "Ctrl+X"},
    {Menu::Edit, Id(Command::Copy), "&Copy", "Ctrl+C"},
    {Menu::Edit, Id(Command::Paste), "&Paste", "Ctrl+V"},
    {Menu::Edit, Id(Command::FillDown), "Fill &Down", "Ctrl+D"},

    {Menu::View, Id(Command::Keys), "Programmable Keys", ""},
    {Menu::View, Id(Command::Misc), "Miscellaneous", ""},
    {Menu::View, Id(Command::Volume), "Volume", ""},
    {Menu::View, Id(Command::Microphone), "Microphone", ""},
    {Menu::View, Id(Command::Vox), "VOX", ""},
    {Menu::View, Id(Command::Mode), "Mode", ""},
    {Menu::View, Id(Command::Channel), "Channel", ""},
    {Menu::View, Id(Command::ChannelList), "Channel List", ""},
    {Menu::View, Id(Command::Personality), "Personality", ""},
    {Menu::View, Id(Command::DtmfSystem), "DTMF System", ""},
    {Menu::View, Id(Command::Emergency), "Emergency", ""},
    {Menu::View, Id(Command::Scan), "Scan List", ""},
    {Menu::View, Id(Command::Embedded), "Embedded Module", ""},
    {Menu::View, Id(Command::TestFreq), "Test Frequency", ""},
    {Menu::View, Id(Command::MaintainBoard), "Maintenance Board", ""},
    {Menu::View, Id(Command::DataWatch), "Data Watch", ""},
    {Menu::View, 0, "", ""},
    {Menu::View, Id(Command::ToolBar), "Tool Bar", ""},
    {Menu::View, Id(Command::StatusBar), "Status Bar", ""},
    {Menu::View, Id(Command::TreeBar), "T&ree Bar", ""},
    {Menu::View, Id(Command::InvalidView), "&Invalid View", ""},
    {Menu::View, Id(Command::LogView), "&Log View", ""},
    {Menu::View, Id(Command::TabView), "T&ab View", ""},
    {Menu::View, 0, "", ""},
    {Menu::View, Id(Command::Language), "Lan&guage...", ""},

    {Menu::Program, Id(Command::ModelInformation), "&Model Information...", ""},
    {Menu::Program, Id(Command::RadioInformation), "Radio Information", ""},
    {Menu::Program, Id(Command::ComPort), "&Communication Port...", ""},
    {Menu::Program, 0, "", ""},
    {Menu::Program, Id(Command::ReadFromRadio), "&Read from Radio", "Ctrl+R"},
    {Menu::Program, Id(Command::WriteToRadio), "&Write to Radio", "Ctrl+W"},
    {Menu::Program, 0, "", ""},
    {Menu::Program, Id(Command::Adjustment), "&Adjustment...", ""},
    {Menu::Program, 0, "", ""},
    {Menu::Program, Id(Command::BaseBand), "&Base Band...", ""},
    {Menu::Program, Id(Command::FactoryMode), "&Factory Mode...", ""},
    {Menu::Program, Id(Command::WriteTuneData), "Write &Tune Data", ""},
});

/// The Program menu's last group and the Window and Help menus (a second table keeps each
/// array short enough to read).
inline constexpr auto kMenuLayoutTail = std::to_array<MenuEntry>({
    {Menu::Program, 0, "", ""},
    {Menu::Program, Id(Command::MemoryUpdate), "Memory &Update", "F5"},
    {Menu::Window, Id(Command::CloseAllWindows), "C&lose All Windows", ""},
    {Menu::Window, Id(Command::CloseAllButThis), "Close All, &But This", ""},
    {Menu::Window, 0, "", ""},
    {Menu::Window, Id(Command::Cascade), "&Cascade", ""},
    {Menu::Window, Id(Command::Tile), "&Tile", ""},
    {Menu::Help, Id(Command::HelpTopics), "&Help Topics", ""},
    {Menu::Help, Id(Command::SaveLinkTrace), "Save &Link Trace...", ""},
    {Menu::Help, 0, "", ""},
    {Menu::Help, Id(Command::About), "&About rvcps...", ""},
});

/// Who uses the program: decides which menu entries and tree items exist.
struct UiProfile {
    int userLevel = 0;         ///< "Level" of section "User Mode"
    bool editionFlag = false;  ///< the current model is one of the two edition models
};

/// The profile of the current settings (user level read from the settings file now).
UiProfile CurrentUiProfile();

/// True when the menus leave this command out for the profile.
bool IsMenuCommandRemoved(int id, const UiProfile& profile);
/// True when the user of the profile may run the command or open the view: false for every
/// command the menus leave out for the profile, whatever way it is asked for (a shortcut, a
/// tree item, a tool button, a menu built before the user level changed).
bool IsCommandReachable(int id, const UiProfile& profile);
/// True when the navigation tree leaves this item out for the profile.
bool IsTreeItemRemoved(int textId, const UiProfile& profile);
/// The entries of one top-level menu for the profile, with the separators that would be
/// left leading, trailing or doubled by a removal dropped as well.
std::vector<MenuEntry> VisibleMenuEntries(Menu menu, const UiProfile& profile);
/// The tree rows for the profile (a removed level-0 row takes its level-1 rows with it).
std::vector<TreeRow> VisibleTreeRows(const UiProfile& profile);

/// The view-table row of a command; nullptr when no view serves it.
const ViewRow* FindViewRow(int command);
/// True for the commands that open a tree item's view (32800 to 32950).
bool IsViewCommand(int id);
/// The tree group items stand for their first list: channels and personalities.
int NormalizeViewCommand(int command);
/// Where the user mends an invalid-log row: the view, the 1-based item of its list, and the
/// control that holds the broken reference.
struct InvalidRowTarget {
    int viewCommand = 0;
    size_t position = 0;
    int controlId = 0;
    bool operator==(const InvalidRowTarget&) const = default;
};
/// The target of an invalid-log row: its key is the item's identity + kInvalidKeyBase + the
/// field's control id, so the item is found again in its list. Nothing when the item is gone or its
/// kind has no view yet.
std::optional<InvalidRowTarget> LocateInvalidRow(const CInvalidLog::Row& row);

/// The view command that shows a record, by the name of its field table ("channel",
/// "scan_list", "vox"); 0 for a record no view shows (the tuning values).
int ViewOfRecord(std::string_view record);

/// Number of items of a list kind (channels, personalities, scan lists) for its tree item;
/// nothing for the kinds that have one item.
std::optional<size_t> TreeItemCount(int command);
/// Tree item label: the item's text with its count through the count format ("%s (%d)");
/// the text alone when the kind has no count.
std::string TreeItemLabel(const std::string& text, int command, const std::string& countFormat);
/// Item number at the end of a list view's title ("Channel 12" -> 12); 0 when it has none.
int ListPositionFromTitle(const std::string& title);
/// Splash picture of a language: "splash_E.jpg" for language 0, else "splash_S.jpg".
const char* SplashFileName(int languageIndex);

/// Name of the help anchor of a topic (a screen or control id).
std::string HelpAnchor(int topicId);
/// True when the help text holds an anchor for the topic (name="id" or id="id").
bool HelpHasTopic(std::string_view html, int topicId);
/// The first candidate (the focused control's id, then its form's id ...) that has a topic
/// in the help text; 0 (the default topic) when none has.
int ChooseHelpTopic(const std::vector<int>& candidates, std::string_view html);

}  // namespace rv
