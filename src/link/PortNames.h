#pragma once
// Names of the serial ports: a port number 1 to 16, as the settings remember it, names a device
// path. Section "Ports" of "Settings.ini" may pin a number to a device (COM3=/dev/ttyUSB1);
// otherwise number N is the N-th serial device found, USB adapters first.

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
/// Device path of port number n: key "COM<n>" of section "Ports" in "Settings.ini" when
/// present, else the n-th serial device; "" when there is none (n outside 1..16 included).
std::string PortDevice(int number);
/// A port as the user gives it: a number ("3" or "COM3") names a device through PortDevice,
/// anything else is taken as a device path. number is set to the port number, or 0 for a path.
std::string ResolvePort(const std::string& port, int& number);
/// Sorts device names the way SerialDevices orders them (by kind, then numerically).
void SortDeviceNames(std::vector<std::string>& names);

}  // namespace rv
