#include "editors/radio/gui/ViewRadio.h"

#include <QLineEdit>

#include "base/Settings.h"
#include "data/RadioData.h"
#include "editors/radio/RadioInfoFieldTable.h"
#include "editors/radio/RadioInfoFields.h"
#include "ui/QtText.h"

namespace rv {

namespace {

using C = CViewRadio::Control;

constexpr FormRow kRows[] = {
    {1110, ControlKind::Label, "Model Name"},
    {C::kModelName, ControlKind::ReadOnly, ""},
    {1112, ControlKind::Label, "Frequency Range[MHz]"},
    {C::kFrequencyRange, ControlKind::ReadOnly, ""},
    {1114, ControlKind::Label, "Serial Number"},
    {C::kSerialNumber, ControlKind::ReadOnly, ""},
    {1118, ControlKind::Label, "Signaling Type"},
    {C::kSignalingType, ControlKind::ReadOnly, ""},
    {1116, ControlKind::Label, "Firmware Version"},
    {C::kFirmwareVersion, ControlKind::ReadOnly, ""},
    {1120, ControlKind::Label, "Last Programmed Date"},
    {C::kLastProgrammed, ControlKind::ReadOnly, ""},
};

/// The boxes that show fields of the record.
constexpr FieldControl kFields[] = {
    {C::kModelName, "model_name"},
    {C::kSerialNumber, "serial_number"},
    {C::kLastProgrammed, "time_stamp"},
};

/// The boxes that show the model identity the program holds.
struct IdentityBox {
    int controlId;
    std::string (*text)(const CSettings&);
};
constexpr IdentityBox kIdentity[] = {
    {C::kFrequencyRange, &FrequencyRangeText},
    {C::kSignalingType, &SignalingTypeText},
    {C::kFirmwareVersion, &FirmwareVersionOf},
};

}  // namespace

CViewRadio::CViewRadio(QWidget* parent)
    : CRecordFormView(
          kFormId, kRadioInfoFieldTable, kRows, kFields,
          [] { return BytesOf(Radio().RadioInfo().Raw()); }, parent)
{
    setObjectName("ViewRadio");
    Reload();
}

void CViewRadio::Reload()
{
    CRecordFormView::Reload();
    for (const IdentityBox& box : kIdentity)
        if (auto* edit = Controls().Get<QLineEdit>(box.controlId))
            edit->setText(ToQ(box.text(Settings())));
}

}  // namespace rv
