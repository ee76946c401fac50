#pragma once
// The fields of the test frequency record (CTestFreqBlock, 200 bytes): sixteen pairs of
// receive and transmit frequencies with their step codes, and five point frequencies. A
// frequency of 0 is shown empty, as the grids show it.

#include "data/FieldTable.h"
#include "service/TestFreqBlock.h"

namespace rv {

namespace detail {
using TestFreqOffset = CTestFreqBlock::Offset;
constexpr FieldDef TestFrequency(std::string_view key, int label, unsigned offset, unsigned copies,
                                 unsigned stride)
{
    return field::Frequency(key, label, offset).ZeroIsNone().Repeat(copies, stride);
}
}  // namespace detail

inline constexpr FieldDef kTestFreqFieldDefs[] = {
    detail::TestFrequency("test_rx", 39330, detail::TestFreqOffset::kPairRx, kTestPairCount,
                          detail::TestFreqOffset::kPairStride),
    detail::TestFrequency("test_tx", 39331, detail::TestFreqOffset::kPairTx, kTestPairCount,
                          detail::TestFreqOffset::kPairStride),
    field::Number("test_rx_step", 39332, detail::TestFreqOffset::kPairRxStep)
        .Repeat(kTestPairCount, detail::TestFreqOffset::kPairStride)
        .Hidden(),
    field::Number("test_tx_step", 39333, detail::TestFreqOffset::kPairTxStep)
        .Repeat(kTestPairCount, detail::TestFreqOffset::kPairStride)
        .Hidden(),
    detail::TestFrequency("point_rx", 39334, detail::TestFreqOffset::kPointRx, kPointCount, 4),
    detail::TestFrequency("point_tx", 39335, detail::TestFreqOffset::kPointTx, kPointCount, 4),
};

inline constexpr FieldTable kTestFreqFieldTable{"test_frequencies", 4000,
                                                CTestFreqBlock::kRecordSize, kTestFreqFieldDefs};
static_assert(IsValidTable(kTestFreqFieldTable));

}  // namespace rv
