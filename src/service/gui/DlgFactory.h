#pragma once
// The Factory screen: the factory fields of the radio information record (model name, serial
// number, band edges, range ID, band flag, signalling type), read from and written to the
// radio on a connection of its own. Closing it asks about the values that differ from the
// current model identity; RunFactoryMode then lets the main window apply them.

#include <QDialog>

#include "service/FactoryLink.h"
#include "ui/FieldForm.h"

class QAbstractButton;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rv {

class IMainShell;

class CDlgFactory : public QDialog {
    Q_OBJECT
public:
    /// Form number of the screen (caption text and help topic).
    static constexpr int kFormId = 4805;
    struct Control {
        static constexpr int kModelName = 4811;
        static constexpr int kSerialNumber = 4815;
        static constexpr int kLowerEdge = 4819;
        static constexpr int kUpperEdge = 4821;
        static constexpr int kRangeId = 4852;
        static constexpr int kBandFlag = 4850;
        static constexpr int kSignalType = 4848;
        static constexpr int kLanguage = 4856;
        static constexpr int kFirmwareVersion = 4854;
        static constexpr int kModelId = 4858;
        static constexpr int kWrite = 4840;
        static constexpr int kRead = 4841;
        static constexpr int kClose = 4842;
        static constexpr int kManualTuneGroup = 4843;
        static constexpr int kManualTuneOpen = 4844;
        static constexpr int kManualTuneClose = 4845;
        static constexpr int kWriteTuneSwitch = 4846;
    };
    /// Message: a band edge that is not a frequency of 100 to 999 MHz (%s the text).
    static constexpr int kBadBandEdge = 1630;

    /// The screen on the radio information record of the radio data object.
    explicit CDlgFactory(QWidget* parent = nullptr);

    /// Read: the factory fields from the radio; the screen shows them on success.
    bool Read();
    /// Write: takes the fields, then writes them to the radio.
    bool Write();
    /// Write Tune Switch: looks for the radio and closes the port again.
    bool WriteTuneSwitch();
    /// Takes the fields into the record; false (message shown, focus on the field) when the
    /// model name is empty or a band edge is no frequency of 100 to 999 MHz.
    bool TakeFields();
    /// What the user took when the screen closed (the main window applies it).
    const FactoryChanges& Changes() const { return changes_; }
    /// The controls of the form.
    const CFormControls& Controls() const { return controls_; }
    /// The button (Read, Write, Close, Write Tune Switch) or switch with a control id.
    QAbstractButton* Button(int id) const;

    void done(int result) override;

private:
    void ShowRecord();
    void UpdateEnabling();
    bool CheckModelName();

    CFormControls controls_;
    CFieldFormBinding binding_;
    CRadioProtocol link_;
    FactoryChanges changes_;
    bool closing_ = false;
};

/// Factory Mode (menu command): the Factory screen, then what it changed is applied (model
/// name, range through the new-range question and the default set, signalling) and the main
/// window is refreshed. Only at the service levels.
void RunFactoryMode(IMainShell& shell);

}  // namespace rv
