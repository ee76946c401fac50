#pragma once
// Communication Port screen: the sixteen port numbers, each with the device it names on this
// machine. A port that cannot be opened now (no device, held by another program, no access)
// is listed but cannot be chosen. OK remembers the chosen number for the next connection.

#include <QDialog>

#include <string>
#include <vector>

#include "link/PortProbe.h"

class QButtonGroup;
class QDialogButtonBox;
class QGroupBox;

namespace rv {

class IMainShell;

/// Text numbers of the Communication Port screen.
struct ComPortText {
    static constexpr int kCaption = 150;       ///< screen caption
    static constexpr int kGroup = 151;         ///< caption of the group of ports
    static constexpr int kNoDevice = 152;      ///< a number that names no device
    static constexpr int kBusy = 153;          ///< the port is held by another program
    static constexpr int kNoAccess = 154;      ///< the user may not open the device
    static constexpr int kCannotOpen = 155;    ///< any other refusal
    static constexpr int kPortStatus = 2231;   ///< message: status bar port pane, "%d"
};

class CDlgComPort : public QDialog {
    Q_OBJECT
public:
    /// Probes the ports and selects the stored port number when it can be opened.
    CDlgComPort(int storedPort, QWidget* parent = nullptr);
    /// The chosen port number; 0 when no port is chosen.
    int SelectedPort() const;
    /// The ports as probed when the screen opened.
    const std::vector<PortChoice>& Ports() const { return ports_; }

private:
    std::vector<PortChoice> ports_;
    QButtonGroup* group_ = nullptr;
};

}  // namespace rv
