#pragma once
// Rules of the channel pages: which controls of the Basic page are enabled, the tone boxes'
// choices, the personality choice of the Miscellaneous page, copying receive to transmit, and
// the notices the pages raise.

#include <cstdint>
#include <string>
#include <vector>

#include "data/Notice.h"
#include "data/RadioData.h"
#include "editors/channel/ChannelData.h"
#include "editors/channel/ChannelFields.h"
#include "editors/common/FieldNotice.h"

namespace rv {

/// What the Basic page's enable rules depend on.
struct BasicPageState {
    bool licenceFree = false;  ///< the band uses the fixed frequency lists (433/446/448)
    bool rxSet = false;        ///< a receive frequency is set (box not empty / list not "None")
    bool txSet = false;        ///< a transmit frequency is set
    ToneType rxType = ToneType::None;  ///< receive tone type
    ToneType txType = ToneType::None;  ///< transmit tone type
};

/// Enabled and shown state of the Basic page's controls.
struct BasicPageEnables {
    bool showFreqLists = false;  ///< lists 3684/3685 shown instead of boxes 3666/3675
    bool rxFreqBox = true;       ///< 3666
    bool txFreqBox = true;       ///< 3675
    bool rxFreqList = true;      ///< 3684
    bool txFreqList = true;      ///< 3685
    bool rxType = true;          ///< 3668
    bool rxCtcss = false;        ///< 3670
    bool rxDcs = false;          ///< 3672
    bool txType = true;          ///< 3677
    bool txCtcss = false;        ///< 3679
    bool txDcs = false;          ///< 3681
    /// The transmit frequency must be emptied (box cleared / list set to "None") because no
    /// receive frequency is set.
    bool clearTx = false;
    /// Enabled state by control id; true for controls the rules do not govern (spacing, power,
    /// alias, the copy button).
    bool Enabled(ChannelControl control) const;
};

/// The Basic page's enable rules for a band kind and the channel's frequencies and tone types.
BasicPageEnables BasicPageEnableRules(const BasicPageState& state);
/// The rules' input from a channel's text form and the band.
BasicPageState BasicPageStateOf(const ChannelFields& fields, bool licenceFree);
/// Tone type of a type text of list 3668 or 3677; None for a text not in the list.
ToneType ToneTypeOfText(int list, const std::string& text);

/// True when the tone boxes of the pages offer the non-standard tones and codes too (the user
/// level is the full service level).
bool OfferNonStandardTones();
/// Analog tone texts the Basic page's tone boxes offer at the current user level.
std::vector<std::string> PageCtcssChoices();
/// Digital code texts the Basic page's code boxes offer at the current user level.
std::vector<std::string> PageDcsChoices();

/// Sets the channel's in-use flag from its receive frequency; true when it changed.
bool UpdateChannelInUse(CChannelData& channel);
/// Copy button 3682: the receive frequency and tone word become the transmit ones.
void CopyRxToTx(CChannelData& channel);

/// Entries of the Miscellaneous page's personality box: "%d" of the 1-based position and the
/// identity of every personality in use, in list order.
std::vector<ItemEntry> PersonalityChoices();
/// Index of the entry that shows the channel's personality, -1 for none.
int PersonalityChoiceIndex(const std::vector<ItemEntry>& entries, const CChannelData& channel);
/// The personality box's selection changed: the channel takes the personality with this
/// identity (record byte 18 = its list position) and its invalid-log entry for the personality
/// is withdrawn. An identity that is not in the list leaves the channel as it is (the entry is
/// still withdrawn).
void ChoosePersonality(CChannelData& channel, uint32_t personalityId);

/// Notice of a changed in-use state (code 9), key = the channel's 1-based number.
NoticeRecord UsedChangedNotice(const CChannelData& channel, const void* sender);

}  // namespace rv
