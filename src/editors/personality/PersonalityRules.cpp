#include "editors/personality/PersonalityRules.h"

#include <algorithm>

#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/common/ListCommandRunner.h"
#include "editors/personality/PersonalityData.h"
#include "base/ChoiceList.h"
#include "base/Settings.h"

namespace rv {

namespace {

void AddDefaultPersonality()
{
    Radio().AddPersonality();
}

/// After a personality was removed the others moved up: every channel whose personality still
/// exists gets that personality's new position in byte 18. A channel whose personality is gone
/// keeps its byte 18 and is reported in the invalid log when the deletion is broadcast.
void RenumberChannelPersonalities()
{
    RadioData& radio = Radio();
    for (auto& channel : radio.Channels()) {
        const size_t number = radio.PersonalityNumberOf(channel->personalityId_);
        if (number != 0) channel->SetPersonalityIndex(static_cast<uint8_t>(number - 1));
    }
}

}  // namespace

PreAlertOffer ApplyTimeOutRule(int timeOut, const std::vector<std::string>& saved,
                               const std::string& previousText)
{
    PreAlertOffer offer;
    const bool active = timeOut != 0;
    const size_t wanted = active ? static_cast<size_t>(std::max(timeOut, 0)) : 1;
    offer.entries.assign(saved.begin(), saved.begin() + std::min(wanted, saved.size()));
    offer.preAlertEnabled = offer.reKeyEnabled = offer.resetEnabled = active;
    const auto it = std::find(offer.entries.begin(), offer.entries.end(), previousText);
    if (offer.entries.empty())
        offer.selected = -1;
    else
        offer.selected =
            it == offer.entries.end() ? 0 : static_cast<int>(it - offer.entries.begin());
    return offer;
}

PreAlertOffer ApplyTimeOutRule(const std::string& timeOutText,
                               const std::vector<std::string>& saved,
                               const std::string& previousText)
{
    const int timeOut = ChoiceValueOf(Settings().LoadText(kTimeOutList), timeOutText).value_or(0);
    return ApplyTimeOutRule(timeOut, saved, previousText);
}

std::vector<std::string> PreAlertTexts()
{
    std::vector<std::string> out;
    for (const ChoiceEntry& e : Settings().ChoiceEntries(kPreAlertList)) out.push_back(e.text);
    return out;
}

ListCommandResult RunPersonalityCommand(ListCommand command, std::optional<size_t> current,
                                        int number, SingleItemDelete single, const void* sender)
{
    ListCommandResult r =
        RunListCommand(Radio().Personalities(), kMaxPersonalities, AddDefaultPersonality, command,
                       current, number, single, sender);
    if (command == ListCommand::Delete && r.listChanged) RenumberChannelPersonalities();
    return r;
}

ListCommandResult OpenPersonalityList(const void* sender)
{
    return OpenList(Radio().Personalities(), AddDefaultPersonality, sender);
}

}  // namespace rv
