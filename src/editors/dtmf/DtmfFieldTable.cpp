#include "editors/dtmf/DtmfFieldTable.h"

#include "base/TextService.h"

namespace rv {

std::string FormatDtmfPrimaryId(std::span<const uint8_t> record, size_t, const CTextService&)
{
    return CDtmfSystemData::PrimaryIdOf(record);
}

std::string DtmfPrimaryIdHint(std::span<const uint8_t>, size_t, const CTextService& texts)
{
    constexpr int kPrimaryIdHint = 41110;
    return texts.LoadText(kPrimaryIdHint);
}

bool ParseDtmfPrimaryId(std::span<uint8_t> record, size_t, std::string_view text,
                        const CTextService&)
{
    return CDtmfSystemData::StorePrimaryId(record, text);
}

}  // namespace rv
