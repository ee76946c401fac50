#pragma once
// Nominal transmit power of the power levels of each model, in watts: "Power.dat" beside the
// model catalogue. The radio stores a level (Low, Middle, High); other programming tools
// exchange power in watts, so the channel CSV writes and reads watts through this table.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace rv {

/// Number of power levels a channel stores (list 3663: 0 Low, 1 Middle, 2 High).
inline constexpr size_t kPowerLevelCount = 3;

/// Watts of each level of one model, index = stored level.
struct PowerLevels {
    std::array<double, kPowerLevelCount> watts{1.0, 2.5, 5.0};
};

/// The levels of a model from the file at path ("Power.dat"); a missing file, section or key,
/// or a value that is not a positive number, takes the default of that level.
PowerLevels ReadPowerLevels(const std::string& path, const std::string& modelId);
/// The levels of the current model from "Power.dat" of the program directory.
PowerLevels CurrentPowerLevels();

/// The level nearest to a power in watts; a power halfway between two levels takes the lower.
size_t NearestPowerLevel(const PowerLevels& levels, double watts);
/// A power as other tools write it: one decimal and "W" ("5.0W", "2.5W").
std::string WattsText(double watts);
/// Reads a power text in watts: a number with an optional "W" or "w" behind it, blanks
/// around either allowed ("5.0W", " 2.5 w", "4"); nothing for any other text.
std::optional<double> ParseWattsText(std::string_view text);

}  // namespace rv
