#include "data/PowerLevels.h"

#include <charconv>
#include <cmath>

#include "base/IniFile.h"
#include "base/Settings.h"

namespace rv {
namespace {

/// The keys of the levels in "Power.dat", index = stored level.
constexpr std::array<const char*, kPowerLevelCount> kLevelKeys = {"Low", "Middle", "High"};

/// Highest power a text may give: far above any hand-held, low enough to stay exact.
constexpr double kMaxWatts = 1000.0;

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

/// A plain decimal number (digits and at most one point, nothing else).
std::optional<double> PlainNumber(std::string_view s)
{
    if (s.empty() || s.find_first_not_of("0123456789.") != std::string_view::npos) return {};
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return {};
    return v;
}

}  // namespace

PowerLevels ReadPowerLevels(const std::string& path, const std::string& modelId)
{
    PowerLevels levels;
    CIniFile ini;
    if (!ini.Load(path)) return levels;
    for (size_t i = 0; i < kPowerLevelCount; ++i) {
        const std::optional<double> w =
            PlainNumber(TrimBlanks(ini.GetString(modelId, kLevelKeys[i])));
        if (w && *w > 0 && *w <= kMaxWatts) levels.watts[i] = *w;
    }
    return levels;
}

PowerLevels CurrentPowerLevels()
{
    const CSettings& s = Settings();
    return ReadPowerLevels(s.ProgramDir() + "Power.dat", s.ModelID());
}

size_t NearestPowerLevel(const PowerLevels& levels, double watts)
{
    size_t best = 0;
    for (size_t i = 1; i < kPowerLevelCount; ++i) {
        const double d = std::fabs(levels.watts[i] - watts);
        const double bestD = std::fabs(levels.watts[best] - watts);
        // A tie goes to the level of fewer watts.
        if (d < bestD || (d == bestD && levels.watts[i] < levels.watts[best])) best = i;
    }
    return best;
}

std::string WattsText(double watts)
{
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, watts, std::chars_format::fixed, 1);
    if (ec != std::errc()) return "0.0W";
    return std::string(buf, end) + "W";
}

std::optional<double> ParseWattsText(std::string_view text)
{
    std::string_view s = TrimBlanks(text);
    if (!s.empty() && (s.back() == 'W' || s.back() == 'w'))
        s = TrimBlanks(s.substr(0, s.size() - 1));
    const std::optional<double> v = PlainNumber(s);
    if (!v || *v > kMaxWatts) return {};
    return v;
}

}  // namespace rv
