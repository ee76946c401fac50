#include "editors/radio/RadioInfoFields.h"

#include "base/Bytes.h"
#include "base/Settings.h"
#include "editors/radio/RadioInfoBlock.h"
#include "editors/radio/RadioInfoFieldTable.h"

namespace rv {

RadioInfoFields ToFields(const CRadioInfoBlock& info, const CSettings& settings)
{
    // The record's fields by the table; the range, signalling and version are the program's.
    const auto text = [&](std::string_view key) {
        return GetText(*FindField(kRadioInfoFieldTable, key), info.Raw().Bytes(), settings);
    };
    RadioInfoFields f;
    f.modelName = text("model_name");
    f.frequencyRange = FrequencyRangeText(settings);
    f.serialNumber = text("serial_number");
    f.signalingType = SignalingTypeText(settings);
    f.firmwareVersion = FirmwareVersionOf(settings);
    f.lastProgrammed = text("time_stamp");
    return f;
}

std::string FrequencyRangeText(const CSettings& settings)
{
    return FormatRange(settings.CurrentRangeLow(), settings.CurrentRangeHigh());
}

std::string SignalingTypeText(const CSettings& settings)
{
    return settings.GetChoiceText(kSignalChoiceList, settings.Signal());
}

std::string FirmwareVersionOf(const CSettings& settings)
{
    return FirmwareVersionText(settings.RadioVersion());
}

std::string FirmwareVersionText(const std::string& radioVersion)
{
    return "V" + radioVersion.substr(0, kFirmwareVersionLength);
}

}  // namespace rv
