#include "editors/emergency/EmergencyFieldTable.h"

#include "base/TextService.h"

namespace rv {

std::string FormatEmergencyId(std::span<const uint8_t> record, size_t, const CTextService&)
{
    return CEmergencyBlock::IdTextOf(record);
}

std::string EmergencyIdHint(std::span<const uint8_t> record, size_t, const CTextService& texts)
{
    // Texts of what each ID type takes: DTMF, Selcall, Fleet ID, and the types without an ID.
    constexpr int kDtmfHint = 41111, kHexHint = 41112, kFleetHint = 41113, kNoIdHint = 41114;
    const unsigned type = GetBits(record[CEmergencyBlock::Offset::kIdType],
                                  CEmergencyBlock::Offset::kIdTypeFirstBit,
                                  CEmergencyBlock::Offset::kIdTypeBits);
    switch (type) {
        case 2:
            return texts.LoadText(kDtmfHint);
        case 3:
            return texts.LoadText(kHexHint);
        case 4:
            return texts.LoadText(kFleetHint);
    }
    return texts.LoadText(kNoIdHint);
}

bool ParseEmergencyId(std::span<uint8_t> record, size_t, std::string_view text, const CTextService&)
{
    return CEmergencyBlock::StoreIdText(record, text);
}

}  // namespace rv
