#include "link/PortNames.h"

#include <dirent.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "base/IniFile.h"
#include "base/Settings.h"

namespace rv {

namespace {

// Device name prefixes in numbering order: USB adapters before the built-in ports.
constexpr const char* kDevicePrefixes[] = {"ttyUSB", "ttyACM", "ttyS"};

std::mutex& SourceMutex()
{
    static std::mutex m;
    return m;
}

std::function<std::vector<std::string>()>& Source()
{
    static std::function<std::vector<std::string>()> source;
    return source;
}

// Rank of a device name: prefix index, then the number after the prefix.
std::pair<int, long> Rank(const std::string& path)
{
    std::string name = path.substr(path.rfind('/') + 1);
    for (int i = 0; i < static_cast<int>(std::size(kDevicePrefixes)); ++i) {
        std::string prefix = kDevicePrefixes[i];
        if (name.rfind(prefix, 0) != 0) continue;
        std::string digits = name.substr(prefix.size());
        if (digits.empty() || digits.size() > 6 ||
            !std::all_of(digits.begin(), digits.end(),
                         [](unsigned char c) { return std::isdigit(c); }))
            continue;
        return {i, std::stol(digits)};
    }
    return {static_cast<int>(std::size(kDevicePrefixes)), 0};
}

std::vector<std::string> ScanDev()
{
    std::vector<std::string> found;
    if (DIR* dir = opendir("/dev")) {
        while (dirent* e = readdir(dir)) {
            std::string path = std::string("/dev/") + e->d_name;
            if (Rank(path).first < static_cast<int>(std::size(kDevicePrefixes)))
                found.push_back(path);
        }
        closedir(dir);
    }
    SortDeviceNames(found);
    return found;
}

bool IsPortNumber(const std::string& s)
{
    return !s.empty() && s.size() <= 3 &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

// "3" and "COM3" (any case) name port 3.
bool ParsePortNumber(const std::string& s, int& number)
{
    std::string digits = s;
    if (s.size() > 3 && (s[0] == 'C' || s[0] == 'c') && (s[1] == 'O' || s[1] == 'o') &&
        (s[2] == 'M' || s[2] == 'm'))
        digits = s.substr(3);
    if (!IsPortNumber(digits)) return false;
    number = std::stoi(digits);
    return true;
}

}  // namespace

void SortDeviceNames(std::vector<std::string>& names)
{
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return Rank(a) < Rank(b); });
}

std::vector<std::string> SerialDevices()
{
    std::function<std::vector<std::string>()> source;
    {
        std::lock_guard<std::mutex> lock(SourceMutex());
        source = Source();
    }
    return source ? source() : ScanDev();
}

void SetSerialDeviceSource(std::function<std::vector<std::string>()> source)
{
    std::lock_guard<std::mutex> lock(SourceMutex());
    Source() = std::move(source);
}

std::string PortKey(int number)
{
    return "COM" + std::to_string(number);
}

std::vector<PortName> PortTable()
{
    std::vector<PortName> table(kMaxPortNumber);
    CIniFile ini;
    ini.Load(Settings().SettingsPath());
    for (int n = 1; n <= kMaxPortNumber; ++n) {
        std::string pinned = ini.GetString(kPortsSection, PortKey(n));
        if (!pinned.empty()) table[n - 1] = {std::move(pinned), true};
    }
    // The numbers not pinned take the devices that no number is pinned to, in order.
    size_t next = 0;
    const std::vector<std::string> devices = SerialDevices();
    for (PortName& port : table) {
        if (port.pinned) continue;
        while (next < devices.size() &&
               std::any_of(table.begin(), table.end(), [&](const PortName& p) {
                   return p.pinned && p.device == devices[next];
               }))
            ++next;
        if (next == devices.size()) break;
        port.device = devices[next++];
    }
    return table;
}

std::string PortDevice(int number)
{
    if (number < 1 || number > kMaxPortNumber) return {};
    return PortTable()[static_cast<size_t>(number) - 1].device;
}

std::string ResolvePort(const std::string& port, int& number)
{
    if (ParsePortNumber(port, number)) return PortDevice(number);
    number = 0;
    return port;
}

}  // namespace rv
