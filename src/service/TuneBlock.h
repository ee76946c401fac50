#pragma once
// The tuning (adjustment) values of the radio: one byte per tuning item and the base-band
// parameters.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "data/QXTViewProc.h"

namespace rv {

/// Number of tuning items with a byte in the record (offsets 0 to 153).
inline constexpr size_t kTuneItemCount = 154;
/// The tuning volume item: sent to the radio, never stored.
inline constexpr uint16_t kTuneVolumeItem = 0x850B;

/// A run of consecutive tuning item numbers (both ends included).
struct TuneItemRun {
    uint16_t first, last;
};

/// The tuning items that have a byte in the record, in ascending order of item and offset.
inline constexpr TuneItemRun kTuneItemRuns[] = {
    {0x8002, 0x8002}, {0x8020, 0x8024}, {0x8040, 0x8044}, {0x8050, 0x8054}, {0x805A, 0x805E},
    {0x8060, 0x8064}, {0x806A, 0x806E}, {0x8070, 0x8074}, {0x807A, 0x807E}, {0x8080, 0x8084},
    {0x808A, 0x808E}, {0x8090, 0x8094}, {0x809A, 0x809E}, {0x80B0, 0x80B4}, {0x80BA, 0x80BE},
    {0x80D2, 0x80D2}, {0x80E2, 0x80E2}, {0x80F2, 0x80F2}, {0x8102, 0x8102}, {0x8112, 0x8112},
    {0x8212, 0x8212}, {0x8220, 0x8224}, {0x822A, 0x822E}, {0x8300, 0x8304}, {0x830A, 0x830E},
    {0x8340, 0x8344}, {0x834A, 0x834E}, {0x8380, 0x8384}, {0x838A, 0x838E}, {0x8390, 0x8394},
    {0x839A, 0x839E}, {0x83D0, 0x83D4}, {0x83DA, 0x83DE}, {0x8410, 0x8414}, {0x841A, 0x841E},
    {0x8442, 0x8442}, {0x8480, 0x8484}, {0x84A2, 0x84A2},
};

/// Item numbers of the tuning record in offset order: item kTuneItems[k] is stored at offset k.
inline constexpr std::array<uint16_t, kTuneItemCount> kTuneItems = [] {
    std::array<uint16_t, kTuneItemCount> items{};
    size_t k = 0;
    for (const TuneItemRun& run : kTuneItemRuns)
        for (unsigned item = run.first; item <= run.last; ++item)
            items[k++] = static_cast<uint16_t>(item);  // out of bounds fails the build
    return items;
}();
static_assert(kTuneItems.back() == 0x84A2, "the runs must fill the item table exactly");

/// Record offset of a tuning item; 0 for an item that is not in the table.
constexpr size_t TuneItemOffset(uint16_t item)
{
    const auto* it = std::lower_bound(kTuneItems.begin(), kTuneItems.end(), item);
    return it != kTuneItems.end() && *it == item ? static_cast<size_t>(it - kTuneItems.begin()) : 0;
}
static_assert(TuneItemOffset(0x8002) == 0 && TuneItemOffset(0x8020) == 1);
static_assert(TuneItemOffset(0x80B3) == 64 && TuneItemOffset(0x84A2) == 153);

// TuneRecord, 192 bytes at image 832..1023:
//
//   0..153    one byte per tuning item (kTuneItems order)
//   154..168  not used by any screen
//   169..191  base-band parameters
class CTuneBlock : public CPlainBlock {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 832;
    static constexpr size_t kRecordSize = 192;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kItems = 0;
        static constexpr size_t kUnused = kTuneItemCount;
        static constexpr size_t kBaseBand = 169;
    };
    static_assert(Offset::kItems + kTuneItemCount <= Offset::kBaseBand);
    static_assert(Offset::kBaseBand < kRecordSize);

    /// The factory tuning values of a new record.
    static const std::array<uint8_t, kRecordSize>& DefaultRecord();

    /// A record with the defaults.
    CTuneBlock();
    /// Copies the default tuning values.
    void SetDefaults() override;

    /// Stored byte of a tuning item (the byte at offset 0 for an unknown item).
    uint8_t ItemValue(uint16_t item) const { return record_[TuneItemOffset(item)]; }
    /// Stores the byte of a tuning item; an item that is not in the table has no byte and
    /// stores nothing (it must never overwrite the byte of item 0x8002 at offset 0).
    void SetItemValue(uint16_t item, uint8_t value)
    {
        const size_t offset = TuneItemOffset(item);
        if (kTuneItems[offset] == item) record_[offset] = value;
    }
};

}  // namespace rv
