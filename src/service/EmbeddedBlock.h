#pragma once
// The embedded record: the password-protected area with four short text messages.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/QXTViewProc.h"

namespace rv {

/// Number of embedded messages.
inline constexpr size_t kEmbeddedMessageCount = 4;

// EmbeddedRecord, 144 bytes at image 1024..1167; texts blank-padded, 0xFF first byte = empty:
//
//   0..7     password        8..15   second text (kept)
//   16..47   message 1       48..79  message 2
//   80..111  message 3       112..143 message 4
class CEmbeddedBlock : public CPlainBlock {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 1024;
    static constexpr size_t kRecordSize = 144;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kPassword = 0;
        static constexpr size_t kPasswordWidth = 8;
        static constexpr size_t kSecondText = 8;
        static constexpr size_t kSecondTextWidth = 8;
        static constexpr size_t kMessages = 16;
        static constexpr size_t kMessageWidth = 32;
    };
    static_assert(Offset::kPassword + Offset::kPasswordWidth == Offset::kSecondText);
    static_assert(Offset::kSecondText + Offset::kSecondTextWidth == Offset::kMessages);
    static_assert(Offset::kMessages + kEmbeddedMessageCount * Offset::kMessageWidth ==
                  kRecordSize);

    /// A record of zero bytes.
    CEmbeddedBlock();
    /// 144 zero bytes.
    void SetDefaults() override;

    /// Texts as loaded from the record (empty when the field starts with 0xFF; trailing blanks
    /// removed).
    std::string Password() const;
    std::string SecondText() const;
    /// Message 0..3.
    std::string Message(size_t index) const;
    /// Stores a text: at most the field width, blank-padded.
    void SetPassword(std::string_view text);
    void SetSecondText(std::string_view text);
    void SetMessage(size_t index, std::string_view text);

    /// Loads a text field by the embedded text coding.
    static std::string LoadText(const uint8_t* field, size_t width);
    /// Stores a text field by the embedded text coding (never splits a UTF-8 character).
    static void StoreText(uint8_t* field, size_t width, std::string_view text);
};

}  // namespace rv
