#pragma once
// The two fixed tone tables the channel records point into: analog sub-audible tones
// (CTCSS, in tenths of a hertz) and digital codes (DCS, octal digits held as a decimal
// number: code 023 is 23). Record tone words hold 1-based indexes into these tables.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rv {

/// One entry of a tone table: the value and whether it is outside the common standard set.
struct ToneEntry {
    uint16_t value = 0;        ///< tenths of Hz (CTCSS) or the octal code as decimal (DCS)
    bool nonStandard = false;  ///< offered only at the full service level
};

/// The 51 analog tones, index 1 to 51 (array position = index - 1).
inline constexpr std::array<ToneEntry, 51> CtcssTable{{
    {630, true},   {670, false},  {693, true},   {719, false},  {744, false},  {770, false},
    {797, false},  {825, false},  {854, false},  {885, false},  {915, false},  {948, false},
    {974, false},  {1000, false}, {1035, false}, {1072, false}, {1109, false}, {1148, false},
    {1188, false}, {1230, false}, {1273, false}, {1318, false}, {1365, false}, {1413, false},
    {1462, false}, {1514, false}, {1567, false}, {1598, true},  {1622, false}, {1655, true},
    {1679, false}, {1713, true},  {1738, false}, {1773, true},  {1799, false}, {1835, true},
    {1862, false}, {1899, true},  {1928, false}, {1966, true},  {1995, true},  {2035, false},
    {2065, true},  {2107, false}, {2181, false}, {2257, false}, {2291, true},  {2336, false},
    {2418, false}, {2503, false}, {2541, true},
}};

/// The 107 digital codes, index 1 to 107 (array position = index - 1).
inline constexpr std::array<ToneEntry, 107> DcsTable{{
    {17, true},   {23, false},  {25, false},  {26, false},  {31, false},  {32, false},
    {36, false},  {43, false},  {47, false},  {50, false},  {51, false},  {53, false},
    {54, false},  {65, false},  {71, false},  {72, false},  {73, false},  {74, false},
    {114, false}, {115, false}, {116, false}, {122, false}, {125, false}, {131, false},
    {132, false}, {134, false}, {143, false}, {145, false}, {152, false}, {155, false},
    {156, false}, {162, false}, {165, false}, {172, false}, {174, false}, {205, false},
    {212, false}, {223, false}, {225, false}, {226, false}, {243, false}, {244, false},
    {245, false}, {246, false}, {251, false}, {252, false}, {255, false}, {261, false},
    {263, false}, {265, false}, {266, false}, {271, false}, {274, false}, {306, false},
    {311, false}, {315, false}, {325, false}, {331, false}, {332, false}, {343, false},
    {346, false}, {351, false}, {356, false}, {364, false}, {365, false}, {371, false},
    {411, false}, {412, false}, {413, false}, {423, false}, {431, false}, {432, false},
    {445, false}, {446, false}, {452, false}, {454, false}, {455, false}, {462, false},
    {464, false}, {465, false}, {466, false}, {503, false}, {506, false}, {516, false},
    {523, false}, {526, false}, {532, false}, {546, false}, {565, false}, {606, false},
    {612, false}, {624, false}, {627, false}, {631, false}, {632, false}, {645, false},
    {654, false}, {662, false}, {664, false}, {703, false}, {712, false}, {723, false},
    {731, false}, {732, false}, {734, false}, {743, false}, {754, false},
}};

/// Index value of a tone word whose tone is not in its table.
inline constexpr uint16_t kCustomToneIndex = 0xFF;

/// 1-based index of a tone (tenths of Hz) in CtcssTable; nullopt when it is not there.
std::optional<uint16_t> CtcssIndexOf(uint16_t tenthsHz);
/// 1-based index of a code (octal digits as decimal) in DcsTable; nullopt when not there.
std::optional<uint16_t> DcsIndexOf(uint16_t code);
/// Entry at a 1-based index of CtcssTable; nullopt for 0 or an index beyond the table.
std::optional<ToneEntry> CtcssAt(unsigned index);
/// Entry at a 1-based index of DcsTable; nullopt for 0 or an index beyond the table.
std::optional<ToneEntry> DcsAt(unsigned index);

/// Lowest and highest analog tone a typed text may give (tenths of Hz).
inline constexpr uint16_t kMinCtcssTenths = 400;
inline constexpr uint16_t kMaxCtcssTenths = 3000;
/// Highest digital code a typed text may give.
inline constexpr uint16_t kMaxDcsCode = 777;

/// "%.1f" text of an analog tone in tenths of Hz (670 -> "67.0").
std::string FormatCtcss(uint16_t tenthsHz);
/// "%03d" text of a digital code (23 -> "023").
std::string FormatDcs(uint16_t code);
/// Tenths of Hz of a typed analog tone text (text x 10 + 0.001, truncated), limited to
/// 40.0..300.0 Hz; an unreadable text gives the low limit.
uint16_t ParseCtcssText(std::string_view text);
/// Code of a typed digital code text (read as a decimal number), limited to 0..777.
uint16_t ParseDcsText(std::string_view text);
/// Texts of the analog tones in table order; the non-standard ones only when asked.
std::vector<std::string> CtcssTexts(bool includeNonStandard);
/// Texts of the digital codes in table order; the non-standard ones only when asked.
std::vector<std::string> DcsTexts(bool includeNonStandard);

}  // namespace rv
