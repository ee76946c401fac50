#include "link/PortProbe.h"

#include "link/PortNames.h"

namespace rv {

std::vector<PortChoice> ProbePorts()
{
    std::vector<PortChoice> ports;
    ports.reserve(kMaxPortNumber);
    for (int n = 1; n <= kMaxPortNumber; ++n) {
        PortChoice choice;
        choice.number = n;
        choice.device = PortDevice(n);
        CComPort port;
        if (port.Open(choice.device)) {
            choice.error = PortError::None;
            port.Close();
        } else {
            choice.error = port.OpenError();
        }
        ports.push_back(std::move(choice));
    }
    return ports;
}

}  // namespace rv
