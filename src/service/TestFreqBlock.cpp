#include "service/TestFreqBlock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "base/Bytes.h"
#include "base/Settings.h"
#include "base/NumberText.h"
#include "editors/common/StepCode.h"

namespace rv {

namespace {

/// 10 Hz units per MHz.
constexpr int64_t kUnitsPerMHz = 100000;
/// Offset of the receive frequency from its transmit frequency in the defaults: 150 kHz.
constexpr int64_t kRxOffset = 15000;
/// Largest frequency the packed-decimal field holds.
constexpr uint32_t kMaxUnits = 99999999;

/// Units of a frequency in whole MHz plus an offset, never below 0.
uint32_t Units(int mhz, int64_t offset)
{
    return static_cast<uint32_t>(std::clamp<int64_t>(mhz * kUnitsPerMHz + offset, 0, kMaxUnits));
}

/// One default test pair: transmit on a point of the band, receive 150 kHz up or down.
struct DefaultPair {
    int mhz;
    int rxDirection;  ///< +1 receive above, -1 below
};

}  // namespace

CTestFreqBlock::CTestFreqBlock() : CPlainBlock(kRecordSize)
{
    SetDefaults();
}

void CTestFreqBlock::SetDefaults()
{
    const CSettings& s = Settings();
    const int l = s.CurrentRangeLow(), h = s.CurrentRangeHigh();
    // Points spread over the band by halving on whole MHz.
    const int m = (l + h) / 2, q1 = (m + l) / 2, q3 = (m + h) / 2;
    const int e1 = (q1 + l) / 2, e2 = (q1 + m) / 2, e3 = (q3 + m) / 2, e4 = (q3 + h) / 2;

    const DefaultPair pairs[] = {{l, +1},  {e1, +1}, {q1, -1}, {e2, -1}, {m, +1},
                                 {e3, +1}, {q3, -1}, {e4, -1}, {h, -1}};
    record_.Fill(0xFF);
    for (size_t k = 0; k < kTestPairCount; ++k) {
        if (k < std::size(pairs))
            SetPair(k, Units(pairs[k].mhz, pairs[k].rxDirection * kRxOffset),
                    Units(pairs[k].mhz, 0));
        else
            SetPair(k, 0, 0);
    }
    // Unused pairs have step bytes 0.
    for (size_t k = std::size(pairs); k < kTestPairCount; ++k) {
        record_[k * Offset::kPairStride + Offset::kPairRxStep] = 0;
        record_[k * Offset::kPairStride + Offset::kPairTxStep] = 0;
    }

    const DefaultPair points[kPointCount] = {{l, +1}, {q1, +1}, {m, +1}, {q3, +1}, {h, -1}};
    for (size_t j = 0; j < kPointCount; ++j) {
        record_.SetU32(Offset::kPointRx + 4 * j,
                       ToBcd(Units(points[j].mhz, points[j].rxDirection * kRxOffset)));
        record_.SetU32(Offset::kPointTx + 4 * j, ToBcd(Units(points[j].mhz, 0)));
    }
    LoadTexts();
}

void CTestFreqBlock::SetPair(size_t k, uint32_t rxUnits, uint32_t txUnits)
{
    // The radio wants each test frequency on a channel step: StepOf may lower it.
    const size_t base = k * Offset::kPairStride;
    const StepCode rxStep = StepOf(rxUnits);
    const StepCode txStep = StepOf(txUnits);
    record_.SetU32(base + Offset::kPairRx, ToBcd(rxUnits));
    record_.SetU32(base + Offset::kPairTx, ToBcd(txUnits));
    record_[base + Offset::kPairRxStep] = static_cast<uint8_t>(rxStep);
    record_[base + Offset::kPairTxStep] = static_cast<uint8_t>(txStep);
}

uint32_t CTestFreqBlock::PairRxBcd(size_t k) const
{
    return record_.U32(k * Offset::kPairStride + Offset::kPairRx);
}
uint32_t CTestFreqBlock::PairTxBcd(size_t k) const
{
    return record_.U32(k * Offset::kPairStride + Offset::kPairTx);
}
uint8_t CTestFreqBlock::PairRxStep(size_t k) const
{
    return record_[k * Offset::kPairStride + Offset::kPairRxStep];
}
uint8_t CTestFreqBlock::PairTxStep(size_t k) const
{
    return record_[k * Offset::kPairStride + Offset::kPairTxStep];
}
uint32_t CTestFreqBlock::PointRxBcd(size_t j) const
{
    return record_.U32(Offset::kPointRx + 4 * j);
}
uint32_t CTestFreqBlock::PointTxBcd(size_t j) const
{
    return record_.U32(Offset::kPointTx + 4 * j);
}

std::string CTestFreqBlock::FrequencyText(uint32_t bcd)
{
    if (bcd == 0 || bcd == kNoFrequency) return {};
    const uint32_t units = FromBcd(bcd);
    char text[24];
    std::snprintf(text, sizeof text, "%u.%05u", units / 100000u, units % 100000u);
    return text;
}

uint32_t CTestFreqBlock::TextToUnits(std::string_view text)
{
    const double mhz = ReadDecimalStart(text).value;
    if (!std::isfinite(mhz) || mhz <= 0) return 0;
    // Truncated toward zero, but a decimal text such as 435.0125 whose binary product falls a
    // hair below the whole number keeps its last 10 Hz.
    const double units = std::floor(mhz * static_cast<double>(kUnitsPerMHz) + 1e-6);
    return units >= kMaxUnits ? kMaxUnits : static_cast<uint32_t>(units);
}

BandClamp CTestFreqBlock::FitTyped(std::string_view text, const BandLimits& band)
{
    const uint32_t units = TextToUnits(text);
    if (units == 0) return {0, false};
    return ClampToBand(units, band);
}

TestFreqCommit CTestFreqBlock::CommitPairText(size_t k, TestFreqSide side, std::string_view text,
                                              const BandLimits& band)
{
    const BandClamp fit = FitTyped(text, band);
    uint32_t units = fit.units;
    const StepCode step = StepOf(units);
    const size_t base = k * Offset::kPairStride;
    const bool rx = side == TestFreqSide::Receive;
    const size_t at = base + (rx ? Offset::kPairRx : Offset::kPairTx);
    const size_t stepAt = base + (rx ? Offset::kPairRxStep : Offset::kPairTxStep);
    const uint32_t before = record_.U32(at);
    const uint8_t stepBefore = record_[stepAt];
    record_.SetU32(at, ToBcd(units));
    record_[stepAt] = static_cast<uint8_t>(step);
    TestFreqCommit result{FrequencyText(record_.U32(at)), fit.clamped,
                          record_.U32(at) != before || record_[stepAt] != stepBefore};
    (rx ? pairRx_ : pairTx_).at(k) = result.text;
    return result;
}

TestFreqCommit CTestFreqBlock::CommitPointText(size_t j, TestFreqSide side, std::string_view text,
                                               const BandLimits& band)
{
    const BandClamp fit = FitTyped(text, band);
    const bool rx = side == TestFreqSide::Receive;
    const size_t at = (rx ? Offset::kPointRx : Offset::kPointTx) + 4 * j;
    const uint32_t before = record_.U32(at);
    record_.SetU32(at, ToBcd(fit.units));
    TestFreqCommit result{FrequencyText(record_.U32(at)), fit.clamped, record_.U32(at) != before};
    (rx ? pointRx_ : pointTx_).at(j) = result.text;
    return result;
}

void CTestFreqBlock::LoadTexts()
{
    for (size_t k = 0; k < kTestPairCount; ++k) {
        pairRx_[k] = FrequencyText(PairRxBcd(k));
        pairTx_[k] = FrequencyText(PairTxBcd(k));
    }
    for (size_t j = 0; j < kPointCount; ++j) {
        pointRx_[j] = FrequencyText(PointRxBcd(j));
        pointTx_[j] = FrequencyText(PointTxBcd(j));
    }
}

void CTestFreqBlock::StoreTexts()
{
    for (size_t k = 0; k < kTestPairCount; ++k)
        SetPair(k, TextToUnits(pairRx_[k]), TextToUnits(pairTx_[k]));
    // Points are stored as typed, without a step fit.
    for (size_t j = 0; j < kPointCount; ++j) {
        record_.SetU32(Offset::kPointRx + 4 * j, ToBcd(TextToUnits(pointRx_[j])));
        record_.SetU32(Offset::kPointTx + 4 * j, ToBcd(TextToUnits(pointTx_[j])));
    }
}

}  // namespace rv
