#pragma once
// Communication Port screen: the sixteen port numbers, each with the device it names on this
// machine (a number pinned in "Settings.ini" is marked so), and a field for a device path that
// the list does not show. A port that cannot be opened now (no device, held by another
// program, no access) is listed but cannot be chosen. A line under the list says which device
// the chosen number means. OK remembers the chosen number for the next connection; a typed
// device is pinned to a free number first.

#include <QDialog>
#include <string>
#include <vector>

#include "link/PortProbe.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QRadioButton;

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
    static constexpr int kDevicePath = 40252;  ///< choice: a device path typed by the user
    static constexpr int kPathHint = 40253;    ///< placeholder of the device path field
    static constexpr int kMeans = 40254;       ///< "COM%d means %s"
    static constexpr int kPinned = 40255;      ///< marks a number pinned in "Settings.ini"
    static constexpr int kNoneChosen = 40256;  ///< no port chosen: every port is searched
    static constexpr int kPathMeans = 40257;   ///< a typed device: "%s is remembered as COM%d"
    static constexpr int kPathEmpty = 40258;   ///< the device path field is empty
};

/// Messages of the Communication Port screen (language keys S01nnnnn).
struct ComPortMessage {
    static constexpr int kNoFreeNumber = 1742;  ///< every number names a device (%s device)
    static constexpr int kCannotPin = 1743;     ///< "Settings.ini" not writable (%s file)
    static constexpr int kTypePath = 1744;      ///< OK with an empty device path
};

class CDlgComPort : public QDialog {
    Q_OBJECT
public:
    /// Probes the ports and selects the stored port number when it can be opened.
    CDlgComPort(int storedPort, QWidget* parent = nullptr);
    /// The chosen port number; 0 when no port is chosen (a typed device has its number once
    /// OK has pinned it).
    int SelectedPort() const;
    /// The ports as probed when the screen opened.
    const std::vector<PortChoice>& Ports() const { return ports_; }
    QLineEdit* PathEdit() const { return path_; }
    QRadioButton* PathChoice() const { return pathChoice_; }
    /// The line that says which device the chosen number means.
    QLabel* MeaningLabel() const { return meaning_; }

public slots:
    /// OK: a typed device is checked and pinned to a number first; a problem is shown and the
    /// screen stays open with what was typed.
    void accept() override;

private:
    /// The number a typed device would have: the number listing it, else the first free one;
    /// 0 when there is none.
    int NumberForPath(const std::string& path) const;
    void UpdateMeaning();

    std::vector<PortChoice> ports_;
    QButtonGroup* group_ = nullptr;
    QRadioButton* pathChoice_ = nullptr;
    QLineEdit* path_ = nullptr;
    QLabel* meaning_ = nullptr;
    int pathNumber_ = 0;  // the number OK gave the typed device
};

}  // namespace rv
