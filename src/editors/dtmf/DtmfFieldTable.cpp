#include "editors/dtmf/DtmfFieldTable.h"

namespace rv {

std::string FormatDtmfPrimaryId(std::span<const uint8_t> record, size_t, const CTextService&)
{
    return CDtmfSystemData::PrimaryIdOf(record);
}

bool ParseDtmfPrimaryId(std::span<uint8_t> record, size_t, std::string_view text,
                        const CTextService&)
{
    return CDtmfSystemData::StorePrimaryId(record, text);
}

}  // namespace rv
