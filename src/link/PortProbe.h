#pragma once
// Which of the sixteen port numbers can be used now: each number's device is opened
// exclusively and closed at once, so that a port held by another program, one the user may not
// open and a number that names no device can be told apart before a transfer is tried.

#include <string>
#include <vector>

#include "link/ComPort.h"

namespace rv {

/// One port number and whether it can be opened now.
struct PortChoice {
    int number = 0;                         ///< 1 to 16
    std::string device;                     ///< device path, "" when the number names none
    bool pinned = false;                    ///< pinned to its device in "Settings.ini"
    PortError error = PortError::NotFound;  ///< PortError::None when it could be opened
    bool Usable() const { return error == PortError::None; }
};

/// Tries every port number 1 to 16: opens its device exclusively and closes it at once.
std::vector<PortChoice> ProbePorts();
/// Tries one device the same way (a path the user typed).
PortError ProbeDevice(const std::string& device);

}  // namespace rv
