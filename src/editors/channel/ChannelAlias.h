#pragma once
// The channel alias (name): a note of the user's, kept with the configuration in the data file
// and exchanged as the Name column of the channel CSV, never sent to the radio. The alias box,
// the grid's alias cells and the import all take the same characters and length from here.

#include <cstddef>
#include <string>
#include <string_view>

namespace rv {

/// Most characters an alias holds.
inline constexpr size_t kAliasMaxLength = 16;
/// Lowest and highest character code an alias takes: the printable ASCII characters.
inline constexpr char32_t kAliasFirstCode = 0x20;
inline constexpr char32_t kAliasLastCode = 0x7E;

/// A UTF-8 text cut to what an alias takes: characters outside kAliasFirstCode..kAliasLastCode
/// dropped, then at most kAliasMaxLength characters kept, without blanks at either end.
std::string FitChannelAlias(std::string_view text);

}  // namespace rv
