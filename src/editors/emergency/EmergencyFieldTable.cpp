#include "editors/emergency/EmergencyFieldTable.h"

namespace rv {

std::string FormatEmergencyId(std::span<const uint8_t> record, size_t, const CTextService&)
{
    return CEmergencyBlock::IdTextOf(record);
}

bool ParseEmergencyId(std::span<uint8_t> record, size_t, std::string_view text, const CTextService&)
{
    return CEmergencyBlock::StoreIdText(record, text);
}

}  // namespace rv
