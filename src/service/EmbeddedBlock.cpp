#include "service/EmbeddedBlock.h"

#include <algorithm>

#include "base/Bytes.h"

namespace rv {

namespace {

constexpr uint8_t kBlank = 0x20;
constexpr uint8_t kErased = 0xFF;

/// True for the second and further bytes of a UTF-8 character.
bool IsContinuationByte(char c) { return (static_cast<uint8_t>(c) & 0xC0) == 0x80; }

size_t MessageOffset(size_t index)
{
    return CEmbeddedBlock::Offset::kMessages + index * CEmbeddedBlock::Offset::kMessageWidth;
}

}  // namespace

CEmbeddedBlock::CEmbeddedBlock() : CPlainBlock(kRecordSize) { SetDefaults(); }

void CEmbeddedBlock::SetDefaults() { record_.Fill(0); }

std::string CEmbeddedBlock::LoadText(const uint8_t* field, size_t width)
{
    if (width == 0 || field[0] == kErased) return {};
    std::string text = ReadText(field, width);
    const size_t end = text.find_last_not_of(static_cast<char>(kBlank));
    text.erase(end == std::string::npos ? 0 : end + 1);
    return text;
}

void CEmbeddedBlock::StoreText(uint8_t* field, size_t width, std::string_view text)
{
    // At most the field width; a multi-byte character that does not fit as a whole is left
    // out rather than cut in half.
    size_t n = std::min(text.size(), width);
    if (n < text.size())
        while (n > 0 && IsContinuationByte(text[n])) --n;
    WriteText(field, width, text.substr(0, n), kBlank);
}

std::string CEmbeddedBlock::Password() const
{
    return LoadText(Record() + Offset::kPassword, Offset::kPasswordWidth);
}

std::string CEmbeddedBlock::SecondText() const
{
    return LoadText(Record() + Offset::kSecondText, Offset::kSecondTextWidth);
}

std::string CEmbeddedBlock::Message(size_t index) const
{
    if (index >= kEmbeddedMessageCount) return {};
    return LoadText(Record() + MessageOffset(index), Offset::kMessageWidth);
}

void CEmbeddedBlock::SetPassword(std::string_view text)
{
    StoreText(Record() + Offset::kPassword, Offset::kPasswordWidth, text);
}

void CEmbeddedBlock::SetSecondText(std::string_view text)
{
    StoreText(Record() + Offset::kSecondText, Offset::kSecondTextWidth, text);
}

void CEmbeddedBlock::SetMessage(size_t index, std::string_view text)
{
    if (index >= kEmbeddedMessageCount) return;
    StoreText(Record() + MessageOffset(index), Offset::kMessageWidth, text);
}

}  // namespace rv
