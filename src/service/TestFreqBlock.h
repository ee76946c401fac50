#pragma once
// Test frequencies for service work: sixteen receive/transmit pairs and five points spread
// across the band, kept both as the record and as texts in MHz.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/QXTViewProc.h"
#include "editors/channel/FrequencyText.h"

namespace rv {

/// Text numbers of the test frequency screen.
struct TestFreqText {
    static constexpr int kForm = 4000;        ///< caption
    static constexpr int kTestGrid = 4010;    ///< grid of the 16 pairs
    static constexpr int kPointGrid = 4011;   ///< grid of the 5 points
    static constexpr int kTestLabel = 4012;   ///< label of the pair grid
    static constexpr int kPointLabel = 4013;  ///< label of the point grid
    static constexpr int kColumns = 4014;     ///< column headers: No.;RX;TX
    static constexpr int kClamped = 1164;     ///< message: set to the nearest band limit
};

/// Which frequency of a pair or point a cell holds.
enum class TestFreqSide { Receive, Transmit };

/// What committing a typed frequency stored.
struct TestFreqCommit {
    std::string text;      ///< the text the cell shows now ("%.5f", "" for no frequency)
    bool clamped = false;  ///< the value was outside the band and set to its nearest limit
    bool changed = false;  ///< the record's bytes changed
};

/// Number of test frequency pairs and of point frequencies.
inline constexpr size_t kTestPairCount = 16;
inline constexpr size_t kPointCount = 5;

// TestFreqRecord, 200 bytes at image 624..823 (frequencies packed decimal, 10 Hz units,
// little-endian):
//
//   10k+0..3  pair k receive    10k+4..7  pair k transmit    (k = 0..15)
//   10k+8     pair k receive step code     10k+9  pair k transmit step code
//   160+4j    point j receive   180+4j    point j transmit   (j = 0..4)
class CTestFreqBlock : public CPlainBlock {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 624;
    static constexpr size_t kRecordSize = 200;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kPairStride = 10;
        static constexpr size_t kPairRx = 0;
        static constexpr size_t kPairTx = 4;
        static constexpr size_t kPairRxStep = 8;
        static constexpr size_t kPairTxStep = 9;
        static constexpr size_t kPointRx = 160;
        static constexpr size_t kPointTx = 180;
    };
    static_assert(kTestPairCount * Offset::kPairStride == Offset::kPointRx);
    static_assert(Offset::kPointRx + 4 * kPointCount == Offset::kPointTx);
    static_assert(Offset::kPointTx + 4 * kPointCount == kRecordSize);

    /// A record with the defaults of the current range.
    CTestFreqBlock();
    /// Pairs and points spread over the current frequency range, then the texts loaded.
    void SetDefaults() override;

    /// Record -> the 42 texts.
    void LoadTexts();
    /// The 42 texts -> record (pair frequencies fitted to a step).
    void StoreTexts();

    /// Texts in MHz ("%.5f"; empty for no frequency).
    const std::string& PairRxText(size_t k) const { return pairRx_.at(k); }
    const std::string& PairTxText(size_t k) const { return pairTx_.at(k); }
    const std::string& PointRxText(size_t j) const { return pointRx_.at(j); }
    const std::string& PointTxText(size_t j) const { return pointTx_.at(j); }
    void SetPairRxText(size_t k, std::string_view text) { pairRx_.at(k) = text; }
    void SetPairTxText(size_t k, std::string_view text) { pairTx_.at(k) = text; }
    void SetPointRxText(size_t j, std::string_view text) { pointRx_.at(j) = text; }
    void SetPointTxText(size_t j, std::string_view text) { pointTx_.at(j) = text; }

    /// A typed text committed into one frequency of pair k: an empty text stores 0 (step code
    /// of 0); otherwise truncated to 10 Hz, set to the nearest band limit when outside the band,
    /// fitted to a step (StepOf may lower it) with the step code in the pair's step byte. The
    /// other frequency of the pair and its step byte are left as they are.
    TestFreqCommit CommitPairText(size_t k, TestFreqSide side, std::string_view text,
                                  const BandLimits& band);
    /// The same for point j, stored as typed (no step fit, no step byte).
    TestFreqCommit CommitPointText(size_t j, TestFreqSide side, std::string_view text,
                                   const BandLimits& band);

    /// Stored frequencies (packed decimal) and step codes of the record.
    uint32_t PairRxBcd(size_t k) const;
    uint32_t PairTxBcd(size_t k) const;
    uint8_t PairRxStep(size_t k) const;
    uint8_t PairTxStep(size_t k) const;
    uint32_t PointRxBcd(size_t j) const;
    uint32_t PointTxBcd(size_t j) const;

    /// Text of a stored frequency: "" for 0 and 0xFFFFFFFF, else MHz with five decimals.
    static std::string FrequencyText(uint32_t bcd);
    /// 10 Hz units of a MHz text, truncated toward zero; 0 for an empty or invalid text.
    static uint32_t TextToUnits(std::string_view text);

private:
    /// 10 Hz units of a committed text, band limits applied (0 stays 0).
    static BandClamp FitTyped(std::string_view text, const BandLimits& band);
    void SetPair(size_t k, uint32_t rxUnits, uint32_t txUnits);
    std::array<std::string, kTestPairCount> pairRx_, pairTx_;
    std::array<std::string, kPointCount> pointRx_, pointTx_;
};

}  // namespace rv
