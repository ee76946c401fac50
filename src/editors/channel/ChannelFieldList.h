#pragma once
// A channel's fields by name with the texts its editors show, for the command line's dump and
// other read-only listings.

#include <optional>
#include <string>
#include <vector>

namespace rv {

class CChannelData;

/// One field of a listing: a stable name, the text shown and, for counts and check boxes,
/// the number.
struct NamedField {
    std::string name;                 ///< snake_case field name
    std::string text;                 ///< the text the editors show
    std::optional<long long> number;  ///< set for numeric fields (check boxes 0/1, steps)
};

/// The channel's fields in editor order (the record is not repaired): frequencies "%.5f"
/// ("" for none), tone types and tone texts, step codes, spacing, power, the personality
/// number and the four flags of the Miscellaneous page.
std::vector<NamedField> ChannelFieldList(const CChannelData& channel);

}  // namespace rv
