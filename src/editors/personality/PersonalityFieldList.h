#pragma once
// A personality's fields by name with the texts its pages show, for the command line's dump
// and other read-only listings.

#include <vector>

#include "editors/channel/ChannelFieldList.h"

namespace rv {

class CPersonalityData;

/// The personality's fields in page order: Tx admit, time-out, pre-alert, re-key and reset
/// times, transmit optional signalling (texts of their choice lists).
std::vector<NamedField> PersonalityFieldList(const CPersonalityData& personality);

}  // namespace rv
