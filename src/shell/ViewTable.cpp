// The tables and rules declared in shell/ViewTable.h.
#include "shell/ViewTable.h"

#include <algorithm>
#include <cctype>

#include "base/Settings.h"
#include "base/TextFormat.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/emergency/EmergencyBlock.h"
#include "editors/scan/ScanData.h"

namespace rv {

namespace {

/// Commands that only the two service levels see.
bool IsServiceCommand(int id)
{
    return id == Id(Command::BaseBand) || id == Id(Command::FactoryMode) ||
           id == Id(Command::WriteTuneData) || id == Id(Command::MaintainBoard);
}

bool IsServiceLevel(int level)
{
    return level == kFullServiceLevel || level == kServiceLevel;
}

/// Drops separators that a removal left at the start, at the end or next to another one.
std::vector<MenuEntry> TidySeparators(const std::vector<MenuEntry>& in)
{
    std::vector<MenuEntry> out;
    for (const MenuEntry& e : in) {
        if (e.id == 0 && (out.empty() || out.back().id == 0)) continue;
        out.push_back(e);
    }
    while (!out.empty() && out.back().id == 0) out.pop_back();
    return out;
}

}  // namespace

UiProfile CurrentUiProfile()
{
    return {Settings().UserLevel(), Settings().EditionFlag()};
}

bool IsMenuCommandRemoved(int id, const UiProfile& profile)
{
    const bool full = profile.userLevel == kFullServiceLevel;
    const bool service = IsServiceLevel(profile.userLevel);
    if (id == Id(Command::MemoryUpdate) || id == Id(Command::DataWatch)) return !full;
    if (IsServiceCommand(id)) return !service;
    if (id == Id(Command::DtmfSystem) || id == Id(Command::ChannelList)) return profile.editionFlag;
    return false;
}

bool IsCommandReachable(int id, const UiProfile& profile)
{
    return !IsMenuCommandRemoved(id, profile);
}

bool IsTreeItemRemoved(int textId, const UiProfile& profile)
{
    if (textId == Id(Command::DataWatch)) return profile.userLevel != kFullServiceLevel;
    if (textId == Id(Command::MaintainBoard)) return !IsServiceLevel(profile.userLevel);
    if (textId == Id(Command::DtmfSystem) || textId == Id(Command::Emergency))
        return profile.editionFlag;
    return false;
}

std::vector<MenuEntry> VisibleMenuEntries(Menu menu, const UiProfile& profile)
{
    std::vector<MenuEntry> entries;
    auto take = [&](const auto& table) {
        for (const MenuEntry& e : table)
            if (e.menu == menu && (e.id == 0 || !IsMenuCommandRemoved(e.id, profile)))
                entries.push_back(e);
    };
    take(kMenuLayout);
    take(kMenuLayoutTail);
    return TidySeparators(entries);
}

std::vector<TreeRow> VisibleTreeRows(const UiProfile& profile)
{
    std::vector<TreeRow> rows;
    bool parentRemoved = false;
    for (const TreeRow& row : kTreeLayout) {
        if (row.level == 0) parentRemoved = IsTreeItemRemoved(row.textId, profile);
        if (parentRemoved || IsTreeItemRemoved(row.textId, profile)) continue;
        rows.push_back(row);
    }
    return rows;
}

const ViewRow* FindViewRow(int command)
{
    auto it = std::find_if(kViewTable.begin(), kViewTable.end(),
                           [command](const ViewRow& r) { return r.command == command; });
    return it == kViewTable.end() ? nullptr : &*it;
}

bool IsViewCommand(int id)
{
    return id >= kFirstViewCommand && id <= kLastViewCommand;
}

int NormalizeViewCommand(int command)
{
    if (command == Id(Command::ChannelGroup)) return Id(Command::Channel);
    if (command == Id(Command::PersonalityGroup)) return Id(Command::Personality);
    return command;
}

int ListPositionFromTitle(const std::string& title)
{
    std::string head;
    int number = 0;
    if (!SplitTrailingNumber(title, head, number)) return 0;
    return number;
}

std::optional<InvalidRowTarget> LocateInvalidRow(const CInvalidLog::Row& row)
{
    if (row.field <= 0) return std::nullopt;
    const uint32_t field = static_cast<uint32_t>(row.field);
    if (row.key < kInvalidKeyBase + field) return std::nullopt;
    const uint32_t itemId = row.key - kInvalidKeyBase - field;
    const auto& channels = Radio().Channels();
    for (size_t i = 0; i < channels.size(); ++i)
        if (channels[i]->id_ == itemId)
            return InvalidRowTarget{Id(Command::Channel), i + 1, row.field};
    const auto& scanLists = Radio().ScanLists();
    for (size_t i = 0; i < scanLists.size(); ++i)
        if (scanLists[i]->id_ == itemId)
            return InvalidRowTarget{Id(Command::Scan), i + 1, row.field};
    // The emergency block has identity 0 (no list item has it).
    if (itemId == Radio().Emergency().id_ &&
        (field == CEmergencyBlock::kRevertChannelId || field == CEmergencyBlock::kSignalingId))
        return InvalidRowTarget{Id(Command::Emergency), 1, row.field};
    return std::nullopt;
}

int ViewOfRecord(std::string_view record)
{
    struct Entry {
        std::string_view record;
        Command view;
    };
    static constexpr Entry kViews[] = {
        {"channel", Command::Channel},
        {"personality", Command::Personality},
        {"scan_list", Command::Scan},
        {"dtmf_system", Command::DtmfSystem},
        {"emergency", Command::Emergency},
        {"keys", Command::Keys},
        {"misc", Command::Misc},
        {"volume", Command::Volume},
        {"microphone", Command::Microphone},
        {"vox", Command::Vox},
        {"mode", Command::Mode},
        {"radio_info", Command::RadioInformation},
        {"embedded", Command::Embedded},
        {"test_frequencies", Command::TestFreq},
    };
    for (const Entry& e : kViews)
        if (e.record == record) return Id(e.view);
    return 0;
}

std::optional<size_t> TreeItemCount(int command)
{
    switch (static_cast<Command>(command)) {
        case Command::Channel:
            return Radio().Channels().size();
        case Command::Personality:
            return Radio().Personalities().size();
        case Command::Scan:
            return Radio().ScanLists().size();
        default:
            return std::nullopt;
    }
}

std::string TreeItemLabel(const std::string& text, int command, const std::string& countFormat)
{
    const std::optional<size_t> count = TreeItemCount(command);
    if (!count) return text;
    // The count goes in first, so that a '%' in the item's own text is never read as a
    // placeholder.
    return FormatTextString(FormatTextNumber(countFormat, static_cast<long long>(*count)), text);
}

const char* SplashFileName(int languageIndex)
{
    return languageIndex == 0 ? "splash_E.jpg" : "splash_S.jpg";
}

std::string HelpAnchor(int topicId)
{
    return std::to_string(topicId);
}

bool HelpHasTopic(std::string_view html, int topicId)
{
    if (topicId <= 0) return false;
    const std::string anchor = HelpAnchor(topicId);
    for (const char* attr : {"name=\"", "id=\""}) {
        const std::string needle = attr + anchor + "\"";
        for (size_t pos = html.find(needle); pos != std::string_view::npos;
             pos = html.find(needle, pos + 1)) {
            // The attribute must stand on its own ("name=" not the end of "filename=").
            if (pos == 0 || std::isspace(static_cast<unsigned char>(html[pos - 1]))) return true;
        }
    }
    return false;
}

int ChooseHelpTopic(const std::vector<int>& candidates, std::string_view html)
{
    for (int id : candidates)
        if (HelpHasTopic(html, id)) return id;
    return 0;
}

}  // namespace rv
