#pragma once
// The one set of command identifiers: the menus, the tool bar, the navigation tree and the
// document's commands (New, Open, Save, Save As, the recent files) all use these numbers.

namespace rv {

/// Command identifiers; each is also the text number of its menu text in the language file.
enum class Command : int {
    // File.
    New = 57600,
    Open = 57601,
    Save = 57603,
    SaveAs = 57604,
    PrintSetup = 57606,
    Print = 57607,
    PrintPreview = 57609,
    ExportChannels = 39760,  ///< channels as a CSV channel table
    ImportChannels = 39761,  ///< channels from a CSV channel table, previewed first
    CompareWith = 40351,     ///< the open configuration against a data file or the radio
    RestoreBackup = 40302,   ///< a backup taken before a write, written back to the radio
    RecentFile1 = 57616,
    RecentFile2 = 57617,
    RecentFile3 = 57618,
    RecentFile4 = 57619,
    Exit = 57665,
    // Edit.
    Copy = 57634,
    Cut = 57635,
    Paste = 57637,
    Undo = 57643,
    Redo = 40200,      ///< the change undone last, again
    FillDown = 40201,  ///< the top row of a grid selection into the rows below
    // View.
    ToolBar = 59392,
    StatusBar = 59393,
    TreeBar = 32778,
    InvalidView = 32906,
    LogView = 32905,
    TabView = 32700,
    Language = 32777,
    // Program.
    ModelInformation = 32771,
    ComPort = 32772,
    ReadFromRadio = 32773,
    WriteToRadio = 32774,
    MemoryUpdate = 32776,
    BaseBand = 32696,
    Adjustment = 32697,
    FactoryMode = 32698,
    WriteTuneData = 32699,
    // Tree items and the views they open.
    RadioInformation = 32800,
    GeneralGroup = 32801,
    Keys = 32802,
    Misc = 32803,
    Volume = 32805,
    Microphone = 32807,  ///< microphone gains (tree row under General Settings)
    Vox = 32809,
    Mode = 32815,
    ChannelGroup = 32821,
    Channel = 32822,
    ChannelList = 32825,  ///< all channels in one grid (menu only; not for the edition models)
    PersonalityGroup = 32823,
    Personality = 32824,
    DtmfSystem = 32854,
    Scan = 32884,
    Emergency = 32885,
    Embedded = 32886,
    TestFreq = 32887,
    DataWatch = 32888,
    MaintainBoard = 32889,  ///< the maintenance board (service levels only)
    // Window.
    CloseAllWindows = 32779,
    CloseAllButThis = 32904,  ///< closes every child window but the current one
    Cascade = 57650,
    Tile = 57651,
    // Help.
    About = 57664,
    HelpTopics = 57667,
    SaveLinkTrace = 40301,  ///< the trace of this session's radio connections, to a file
};

/// The integer identifier of a command.
constexpr int Id(Command c)
{
    return static_cast<int>(c);
}

/// Commands in this range open the view of a tree item.
inline constexpr int kFirstViewCommand = 32800;
inline constexpr int kLastViewCommand = 32950;

}  // namespace rv
