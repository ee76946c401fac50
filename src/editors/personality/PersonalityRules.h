#pragma once
// Rules of the personality view: the time-out pre-alert rule of the RXTX page and the record
// commands over the personality list.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "editors/common/ListCommand.h"

namespace rv {

/// What the pre-alert box offers and which time-out boxes are enabled.
struct PreAlertOffer {
    std::vector<std::string> entries;  ///< entries of the pre-alert box (2327)
    int selected = 0;                  ///< index to select (-1 when the box is empty)
    bool preAlertEnabled = true;       ///< 2327
    bool reKeyEnabled = true;          ///< 2329
    bool resetEnabled = true;          ///< 2331
};

/// The time-out rule: with a time-out value T (byte 2) the pre-alert box offers the first T
/// entries of the saved full pre-alert list (all three boxes enabled); with T = 0 only the
/// first entry (the three boxes disabled). The previous text is selected again when still
/// offered, otherwise the first entry.
PreAlertOffer ApplyTimeOutRule(int timeOut, const std::vector<std::string>& savedPreAlert,
                               const std::string& previousText);
/// Same with the time-out value read from a text of list 2325 (0 when not in the list).
PreAlertOffer ApplyTimeOutRule(const std::string& timeOutText,
                               const std::vector<std::string>& savedPreAlert,
                               const std::string& previousText);
/// The full pre-alert list (texts of list 2327), as the page saves it when initialised.
std::vector<std::string> PreAlertTexts();

/// Runs a personality command. Add appends a default personality and makes it current (notice
/// code 4); refused at 16. Delete removes the current personality only when more than one
/// exists, the next (or the new last) becoming current (notice code 5: broadcast it so that
/// every channel checks its personality and logs a missing one); with one, nothing is removed
/// and `single` says what becomes current. The caller broadcasts the notice.
ListCommandResult RunPersonalityCommand(ListCommand command, std::optional<size_t> current,
                                        int number, SingleItemDelete single,
                                        const void* sender = nullptr);
/// Opening a personality view: an empty list gets one default personality (with a code 4
/// notice in the result); the first personality is current.
ListCommandResult OpenPersonalityList(const void* sender = nullptr);

}  // namespace rv
