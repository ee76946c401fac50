#include "editors/radio/gui/ViewRadio.h"

#include <QLineEdit>

#include "data/RadioData.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/radio/RadioInfoFields.h"
#include "base/Settings.h"
#include "ui/QtText.h"

namespace rv {

namespace {

constexpr FormRow kRows[] = {
    {1110, ControlKind::Label, "Model Name"},
    {CViewRadio::Control::kModelName, ControlKind::ReadOnly, ""},
    {1112, ControlKind::Label, "Frequency Range[MHz]"},
    {CViewRadio::Control::kFrequencyRange, ControlKind::ReadOnly, ""},
    {1114, ControlKind::Label, "Serial Number"},
    {CViewRadio::Control::kSerialNumber, ControlKind::ReadOnly, ""},
    {1118, ControlKind::Label, "Signaling Type"},
    {CViewRadio::Control::kSignalingType, ControlKind::ReadOnly, ""},
    {1116, ControlKind::Label, "Firmware Version"},
    {CViewRadio::Control::kFirmwareVersion, ControlKind::ReadOnly, ""},
    {1120, ControlKind::Label, "Last Programmed Date"},
    {CViewRadio::Control::kLastProgrammed, ControlKind::ReadOnly, ""},
};

}  // namespace

CViewRadio::CViewRadio(QWidget* parent) : CCustomFormView(kFormId, parent)
{
    setObjectName("ViewRadio");
    controls_ = BuildForm(this, kFormId, kRows);
    Reload();
}

void CViewRadio::Reload()
{
    const RadioInfoFields f = ToFields(Radio().RadioInfo(), Settings());
    const std::pair<int, const std::string*> shown[] = {
        {Control::kModelName, &f.modelName},
        {Control::kFrequencyRange, &f.frequencyRange},
        {Control::kSerialNumber, &f.serialNumber},
        {Control::kSignalingType, &f.signalingType},
        {Control::kFirmwareVersion, &f.firmwareVersion},
        {Control::kLastProgrammed, &f.lastProgrammed},
    };
    for (const auto& [id, text] : shown)
        if (auto* edit = controls_.Get<QLineEdit>(id)) edit->setText(ToQ(*text));
}

}  // namespace rv
