#include "editors/channel/ChannelAlias.h"

namespace rv {

std::string FitChannelAlias(std::string_view text)
{
    // Every byte of a multi-byte UTF-8 character is 0x80 or above, so taking the bytes in the
    // printable ASCII range drops whole characters and never splits one.
    std::string out;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < kAliasFirstCode || code > kAliasLastCode) continue;
        if (out.size() == kAliasMaxLength) break;
        if (c == ' ' && out.empty()) continue;
        out += c;
    }
    // Blanks that only stood beside dropped characters are no part of a name.
    const size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

}  // namespace rv
