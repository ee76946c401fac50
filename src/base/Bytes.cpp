#include "base/Bytes.h"

#include <cstdio>

namespace rv {

uint32_t ToBcd(uint32_t units)
{
    if (units > 99999999u) units = 99999999u;
    uint32_t bcd = 0;
    for (int shift = 0; shift < 32; shift += 4) {
        bcd |= (units % 10u) << shift;
        units /= 10u;
    }
    return bcd;
}

uint32_t FromBcd(uint32_t bcd)
{
    uint32_t units = 0;
    for (int shift = 28; shift >= 0; shift -= 4) {
        uint32_t digit = (bcd >> shift) & 0xFu;
        if (digit > 9) digit = 9;
        units = units * 10u + digit;
    }
    return units;
}

std::string ReadText(const uint8_t* p, size_t width)
{
    size_t n = 0;
    while (n < width && p[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

void WriteText(uint8_t* p, size_t width, std::string_view text, uint8_t pad)
{
    size_t n = text.size() < width ? text.size() : width;
    for (size_t i = 0; i < width; ++i) p[i] = i < n ? static_cast<uint8_t>(text[i]) : pad;
}

std::string FormatRange(int low, int high)
{
    return std::to_string(low) + "-" + std::to_string(high);
}

bool ParseRange(std::string_view text, int& low, int& high)
{
    std::string s(text);
    low = 0;
    high = 0;
    return std::sscanf(s.c_str(), "%d-%d", &low, &high) >= 1;
}

std::string HexBytes(std::span<const uint8_t> bytes)
{
    std::string out;
    char buf[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        out += buf;
    }
    return out;
}

}  // namespace rv
