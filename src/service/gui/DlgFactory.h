#pragma once
// The Factory screen: the factory fields of the radio information record (model name, serial
// number, band edges, range ID, band flag, signalling type), read from and written to the
// radio on a connection of its own. Closing it asks about the values that differ from the
// current model identity; RunFactoryMode then lets the main window apply them.

#include <QDialog>
#include <map>

#include "editors/radio/RadioInfoBlock.h"
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

    /// Read: the factory fields from the radio; the screen shows them on success, and Write
    /// is enabled from then on for this visit.
    bool Read();
    /// Write (only after a Read in this visit): takes the fields; reads the radio's factory
    /// record again and saves it as a backup beside the configuration backups (nothing is
    /// written when that fails); when the radio holds other factory data than Read showed,
    /// asks first, naming every value that will change; then writes.
    bool Write();
    /// Write Tune Switch: looks for the radio and closes the port again.
    bool WriteTuneSwitch();
    /// Takes the values the user typed into the record; the values nobody typed keep their
    /// bytes unchecked. False (message shown, focus on the field) when a typed model name is
    /// empty, a typed band edge is no frequency of 100 to 999 MHz or a typed range ID is empty.
    /// While closing, a bad typed value is dropped instead when the user agrees
    /// (question 3404), so that the screen can always be left.
    bool TakeFields(bool closing = false);
    /// The path of the factory backup saved by the last Write; "" before.
    const std::string& LastBackup() const { return lastBackup_; }
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
    /// True when the user changed the text of a box since the record was shown.
    bool Typed(int id) const;
    /// A typed value that is not valid: while closing, the question whether to close without
    /// it (yes: the box shows the record's value again); else the message. False: stay.
    bool RefuseTyped(int id, const QString& message, bool closing);

    CFormControls controls_;
    CFieldFormBinding binding_;
    CRadioProtocol link_;
    FactoryChanges changes_;
    bool closing_ = false;
    bool read_ = false;             ///< a Read succeeded in this visit
    CRadioInfoBlock readRecord_;    ///< the factory record that Read showed
    std::map<int, QString> shown_;  ///< the boxes' texts when the record was shown
    std::string lastBackup_;
};

/// Factory Mode (menu command): the Factory screen, then what it changed is applied (model
/// name, range through the new-range question and the default set, signalling) and the main
/// window is refreshed. Only at the service levels.
void RunFactoryMode(IMainShell& shell);

}  // namespace rv
