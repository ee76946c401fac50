#pragma once
// The emergency view: what the emergency key does, the revert channel, the emergency ID with
// its type and signalling system, and the alarm and voice cycles. Every change is stored at
// once; the ID takes the character set of its type and is normalised when it is left.

#include <QWidget>
#include <map>
#include <string>

#include "data/Notice.h"
#include "ui/CustomFormView.h"
#include "ui/FormBuilder.h"

class QComboBox;
class QLineEdit;

namespace rv {

class CViewEmergency : public CCustomFormView {
    Q_OBJECT
public:
    /// Form number (caption text and help topic).
    static constexpr int kFormId = 7300;
    /// Control ids of the page.
    struct Box {
        static constexpr int RevertChannel = 7310, IdType = 7314, SignalingSystem = 7318, Id = 7320,
                             SendMode = 7312, Impolite = 7322, Polite = 7324, AlarmMode = 7326,
                             AlarmDuration = 7328, AlarmCyclesMode = 7331, AlarmCycles = 7333,
                             VoiceCyclesMode = 7336, VoiceCycles = 7338, SquelchMode = 7341,
                             TxDuration = 7343, RxDuration = 7346, PowerSwitch = 7349;
    };

    explicit CViewEmergency(QWidget* parent = nullptr);

    void Reload() override;
    void Store() override;
    /// Channels or DTMF systems added, deleted or taken out of use: the boxes are filled again.
    void OnNotice(const NoticeRecord& notice) override;

    QWidget* Control(int id) const { return controls_.Control(id); }
    /// The notice shown when an ID was cut to its type's length (empty when none).
    QString CutNotice() const;

private:
    void FillItemBoxes();
    void ApplyEnables();
    /// The ID type box changed: the ID takes the new type's characters and length.
    void IdTypeChanged();
    /// The ID field was left: the ID is shown as it is stored.
    void IdLeft();
    int IdTypeValue() const;
    void ShowCutNotice(bool cut);

    CFormControls controls_;
    bool loading_ = false;
    /// What the boxes showed after the last load: a box the user has not changed since keeps
    /// the stored value (a value the box cannot show, such as a channel number beyond the
    /// list or a number outside the field's range, is not rewritten by looking at it).
    struct Shown {
        int revert = -1;
        int system = -1;
        long long numbers[5] = {};
        std::string id;
        int idType = -1;
        bool powerSwitch = false;
        std::map<int, std::string> choices;  ///< text of each choice box by control id
    } shown_;
};

}  // namespace rv
