#pragma once
// The text form of the radio information view: the six read-only texts it shows, made from
// the radio information record and the model identity the program holds.

#include <string>

namespace rv {

class CRadioInfoBlock;
class CSettings;

/// Choice list of the signalling types (value = the program's signalling setting).
inline constexpr int kSignalChoiceList = 1076;
/// Characters of the firmware version text the view shows after the "V".
inline constexpr size_t kFirmwareVersionLength = 7;

/// What the radio information view shows, field by field.
struct RadioInfoFields {
    std::string modelName;        ///< record bytes 0-11 up to the first zero byte
    std::string frequencyRange;   ///< "%d-%d" of the current range in whole MHz
    std::string serialNumber;     ///< record bytes 56-71 up to the first zero byte
    std::string signalingType;    ///< the current signalling type's entry of choice list 1076
    std::string firmwareVersion;  ///< "V" and the first 7 characters of the radio version
    std::string lastProgrammed;   ///< the programming time stamp, "%Y-%m-%d %H:%M:%S"
};

/// The view's texts for a record and the settings' model identity.
RadioInfoFields ToFields(const CRadioInfoBlock& info, const CSettings& settings);

/// The texts of the model identity the program holds (not kept in the record): the current
/// range, the signalling type and the firmware version.
std::string FrequencyRangeText(const CSettings& settings);
std::string SignalingTypeText(const CSettings& settings);
std::string FirmwareVersionOf(const CSettings& settings);
/// "V" followed by the first 7 characters of a radio version text.
std::string FirmwareVersionText(const std::string& radioVersion);

}  // namespace rv
