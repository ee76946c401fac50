#pragma once
// Names of the serial ports: a port number 1 to 16, as the settings remember it, names a device
// path. Section "Ports" of "Settings.ini" may pin a number to a device (COM3=/dev/ttyUSB1); the
// numbers not pinned name the other serial devices found, in order, USB adapters first, so
// that a pinned device never hides another one.

#include <functional>
#include <string>
#include <vector>

namespace rv {

/// Highest port number the program offers and searches.
inline constexpr int kMaxPortNumber = 16;

/// The serial devices of the machine in numbering order: /dev/ttyUSB*, then /dev/ttyACM*, then
/// /dev/ttyS*, each in ascending device number.
std::vector<std::string> SerialDevices();
/// Replaces the device enumeration (tests and the simulator demo name their pseudo-terminals
/// here); an empty function restores the real one.
void SetSerialDeviceSource(std::function<std::vector<std::string>()> source);
/// What one port number names.
struct PortName {
    std::string device;   ///< device path, "" when the number names none
    bool pinned = false;  ///< named by key "COM<n>" of section "Ports" in "Settings.ini"
};
/// The devices of port numbers 1 to 16 (index n - 1): the pinned numbers name their devices,
/// the others the serial devices not pinned to any number, in numbering order.
std::vector<PortName> PortTable();
/// Device path of port number n as PortTable names it; "" when there is none (n outside 1..16
/// included).
std::string PortDevice(int number);
/// The key of port number n in section "Ports" ("COM3").
std::string PortKey(int number);
/// Section of "Settings.ini" that pins port numbers to devices.
inline constexpr const char* kPortsSection = "Ports";
/// A port as the user gives it: a number ("3" or "COM3") names a device through PortDevice,
/// anything else is taken as a device path. number is set to the port number, or 0 for a path.
std::string ResolvePort(const std::string& port, int& number);
/// Sorts device names the way SerialDevices orders them (by kind, then numerically).
void SortDeviceNames(std::vector<std::string>& names);

}  // namespace rv
