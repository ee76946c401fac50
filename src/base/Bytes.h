#pragma once
// Byte-level accessors for the radio's records: little-endian integers, bit fields, packed
// decimal frequencies and padded text. Every record field is read and written through these.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rv {

/// Value of an empty frequency field (no frequency).
inline constexpr uint32_t kNoFrequency = 0xFFFFFFFFu;

/// Little-endian 16-bit value at p.
inline uint16_t GetU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
/// Little-endian 32-bit value at p.
inline uint32_t GetU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
/// Stores v little-endian at p.
inline void PutU16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
/// Stores v little-endian at p.
inline void PutU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

/// The lowest `bits` bits set (all 32 for 32 or more).
inline constexpr uint32_t MaskOf(unsigned bits)
{
    return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
}
/// Bits [first, first+count) of byte b, shifted down.
inline constexpr unsigned GetBits(uint8_t b, unsigned first, unsigned count)
{
    return (b >> first) & MaskOf(count);
}
/// Byte b with bits [first, first+count) replaced by value (masked to the width).
inline constexpr uint8_t WithBits(uint8_t b, unsigned first, unsigned count, unsigned value)
{
    const unsigned mask = MaskOf(count) << first;
    return static_cast<uint8_t>((b & ~mask) | ((value << first) & mask));
}

/// Packed decimal (BCD) of a frequency in 10 Hz units: the eight decimal digits of units
/// become the eight hexadecimal digits (43307500 -> 0x43307500). Values above 99999999 are
/// limited to 99999999.
uint32_t ToBcd(uint32_t units);
/// Frequency in 10 Hz units of a packed decimal value (the hexadecimal digits read as a decimal
/// number). A nibble above 9 is read as 9 so that garbage from a radio gives a bounded value.
uint32_t FromBcd(uint32_t bcd);

/// Text of a fixed-width field: up to the first zero byte.
std::string ReadText(const uint8_t* p, size_t width);
/// Writes at most width characters of text and fills the rest with pad.
void WriteText(uint8_t* p, size_t width, std::string_view text, uint8_t pad = 0);

/// "%d-%d" text of two whole-MHz numbers.
std::string FormatRange(int low, int high);
/// Reads "%d-%d"; a missing number counts as 0. Returns false when not even the first is there.
bool ParseRange(std::string_view text, int& low, int& high);

/// Upper-case hexadecimal text of bytes, separated by spaces ("0A FF ...").
std::string HexBytes(std::span<const uint8_t> bytes);

/// The raw record of a block or list item: a fixed-length byte buffer with the accessors above.
class CRawRecord {
public:
    explicit CRawRecord(size_t size, uint8_t fill = 0xFF) : bytes_(size, fill) {}
    size_t Size() const { return bytes_.size(); }
    uint8_t* Data() { return bytes_.data(); }
    const uint8_t* Data() const { return bytes_.data(); }
    uint8_t& operator[](size_t i) { return bytes_.at(i); }
    uint8_t operator[](size_t i) const { return bytes_.at(i); }
    void Fill(uint8_t value) { bytes_.assign(bytes_.size(), value); }
    /// Copies Size() bytes from src.
    void CopyFrom(const uint8_t* src) { bytes_.assign(src, src + bytes_.size()); }
    /// Copies Size() bytes to dst.
    void CopyTo(uint8_t* dst) const { std::copy(bytes_.begin(), bytes_.end(), dst); }
    uint16_t U16(size_t off) const { return GetU16(&bytes_.at(off + 1) - 1); }
    uint32_t U32(size_t off) const { return GetU32(&bytes_.at(off + 3) - 3); }
    void SetU16(size_t off, uint16_t v) { PutU16(&bytes_.at(off + 1) - 1, v); }
    void SetU32(size_t off, uint32_t v) { PutU32(&bytes_.at(off + 3) - 3, v); }
    unsigned Bits(size_t off, unsigned first, unsigned count) const
    {
        return GetBits(bytes_.at(off), first, count);
    }
    void SetBits(size_t off, unsigned first, unsigned count, unsigned value)
    {
        bytes_.at(off) = WithBits(bytes_.at(off), first, count, value);
    }
    bool Bit(size_t off, unsigned bit) const { return Bits(off, bit, 1) != 0; }
    void SetBit(size_t off, unsigned bit, bool on) { SetBits(off, bit, 1, on ? 1 : 0); }
    std::string Text(size_t off, size_t width) const
    {
        (void)bytes_.at(off + width - 1);
        return ReadText(bytes_.data() + off, width);
    }
    void SetText(size_t off, size_t width, std::string_view text, uint8_t pad = 0)
    {
        (void)bytes_.at(off + width - 1);
        WriteText(bytes_.data() + off, width, text, pad);
    }
    std::span<const uint8_t> Bytes() const { return bytes_; }
    bool operator==(const CRawRecord&) const = default;

private:
    std::vector<uint8_t> bytes_;
};

}  // namespace rv
