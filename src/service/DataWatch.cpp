#include "service/DataWatch.h"

#include <cstdio>

#include "service/EmbeddedBlock.h"

namespace rv {

namespace {

/// Eight binary digits, most significant first.
std::string Bits(uint8_t value)
{
    std::string bits(8, '0');
    for (int i = 0; i < 8; ++i)
        if (value & (0x80 >> i)) bits[static_cast<size_t>(i)] = '1';
    return bits;
}

/// What the watch shows for a byte of the password.
constexpr const char* kHiddenValue = "**";

}  // namespace

bool CDataWatch::IsHiddenByte(size_t address)
{
    constexpr size_t first = CEmbeddedBlock::kImageAddress + CEmbeddedBlock::Offset::kPassword;
    return address >= first && address < first + CEmbeddedBlock::Offset::kPasswordWidth;
}

void CDataWatch::Open(const Image& image)
{
    entries_.clear();
    snapshot_ = image;
}

size_t CDataWatch::Compare(const Image& image)
{
    const size_t before = entries_.size();
    for (size_t a = 0; a < kImageSize; ++a) {
        if (image[a] == snapshot_[a]) continue;
        entries_.push_back(MakeEntry(a, snapshot_[a], image[a]));
        snapshot_[a] = image[a];
    }
    return entries_.size() - before;
}

std::optional<size_t> CDataWatch::FindLine(int row, int column) const
{
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].row == row && entries_[i].column == column) return i;
    return std::nullopt;
}

std::string CDataWatch::CellText(int row, int column, const std::string& corner) const
{
    char text[16];
    if (row == 0 && column == 0) return corner;
    if (row == 0)
        std::snprintf(text, sizeof text, "_%X", column - 1);
    else if (column == 0)
        std::snprintf(text, sizeof text, "F:%.3X_", row - 1);
    else if (const auto address = static_cast<size_t>((row - 1) * 16 + (column - 1));
             IsHiddenByte(address))
        return kHiddenValue;
    else
        std::snprintf(text, sizeof text, "%.2X", snapshot_[address]);
    return text;
}

WatchEntry CDataWatch::MakeEntry(size_t address, uint8_t oldValue, uint8_t newValue)
{
    WatchEntry e;
    e.row = static_cast<int>(address / 16) + 1;
    e.column = static_cast<int>(address % 16) + 1;
    const unsigned a = static_cast<unsigned>(address);
    char text[96];
    if (IsHiddenByte(address)) {
        std::snprintf(text, sizeof text, "$E.0x%X:%s->%s", a, kHiddenValue, kHiddenValue);
        e.bitsText = e.decimalText = e.line = text;
        return e;
    }
    std::snprintf(text, sizeof text, "$E.0x%X:%s->%s", a, Bits(oldValue).c_str(),
                  Bits(newValue).c_str());
    e.bitsText = text;
    std::snprintf(text, sizeof text, "$E.0x%X:%.2u->%.2u", a, unsigned{oldValue},
                  unsigned{newValue});
    e.decimalText = text;
    std::snprintf(text, sizeof text, "$E.0x%X:%.2X->%.2X", a, unsigned{oldValue},
                  unsigned{newValue});
    e.line = text;
    return e;
}

}  // namespace rv
