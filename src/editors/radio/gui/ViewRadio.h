#pragma once
// The radio information view: read-only model name, frequency range, serial number,
// signalling type, firmware version and last programming date. The model name, serial number
// and date are fields of the radio information record, bound by key; the range, signalling
// type and version are the model identity the program holds.

#include "ui/FieldForm.h"

namespace rv {

class CViewRadio : public CRecordFormView {
    Q_OBJECT
public:
    /// Form number of the view (caption text and help topic).
    static constexpr int kFormId = 1109;
    /// Control ids of the shown fields.
    struct Control {
        static constexpr int kModelName = 1111;
        static constexpr int kFrequencyRange = 1113;
        static constexpr int kSerialNumber = 1115;
        static constexpr int kFirmwareVersion = 1117;
        static constexpr int kSignalingType = 1119;
        static constexpr int kLastProgrammed = 1121;
    };

    explicit CViewRadio(QWidget* parent = nullptr);
    /// Shows the fields of the radio information record and the model identity.
    void Reload() override;
    /// The view never changes the data.
    void Store() override {}
};

}  // namespace rv
