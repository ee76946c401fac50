#include "editors/radio/RadioInfoFields.h"

#include "base/Bytes.h"
#include "editors/radio/RadioInfoBlock.h"
#include "base/Settings.h"

namespace rv {

RadioInfoFields ToFields(const CRadioInfoBlock& info, const CSettings& settings)
{
    RadioInfoFields f;
    f.modelName = info.ModelName();
    f.frequencyRange = FormatRange(settings.CurrentRangeLow(), settings.CurrentRangeHigh());
    f.serialNumber = info.SerialNumber();
    f.signalingType = settings.GetChoiceText(kSignalChoiceList, settings.Signal());
    f.firmwareVersion = FirmwareVersionText(settings.RadioVersion());
    f.lastProgrammed = info.LastProgrammedDate();
    return f;
}

std::string FirmwareVersionText(const std::string& radioVersion)
{
    return "V" + radioVersion.substr(0, kFirmwareVersionLength);
}

}  // namespace rv
