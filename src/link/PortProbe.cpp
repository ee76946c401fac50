#include "link/PortProbe.h"

#include "link/PortNames.h"

namespace rv {

PortError ProbeDevice(const std::string& device)
{
    if (device.empty()) return PortError::NotFound;
    CComPort port;
    if (!port.Open(device)) return port.OpenError();
    port.Close();
    return PortError::None;
}

std::vector<PortChoice> ProbePorts()
{
    std::vector<PortChoice> ports;
    ports.reserve(kMaxPortNumber);
    const std::vector<PortName> table = PortTable();
    for (int n = 1; n <= kMaxPortNumber; ++n) {
        PortChoice choice;
        choice.number = n;
        choice.device = table[n - 1].device;
        choice.pinned = table[n - 1].pinned;
        choice.error = ProbeDevice(choice.device);
        ports.push_back(std::move(choice));
    }
    return ports;
}

}  // namespace rv
