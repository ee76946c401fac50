#pragma once
// One personality: the transmit rules a group of channels shares (admit criterion, time-out
// timer with pre-alert, re-key and reset times, transmit signalling).

#include <cstddef>
#include <cstdint>

#include "data/QXTViewProc.h"

namespace rv {

// Personality record, 8 bytes:
//
//  byte 0   kept (FF)
//  byte 1   Tx admit (list 2321); FF marks an unused slot in the image
//  byte 2   transmit time-out time (list 2325), 0 = no time-out
//  byte 3   time-out pre-alert time (list 2327)
//  byte 4   time-out re-key time (list 2329)
//  byte 5   time-out reset time (list 2331)
//  byte 6   | 7 6 kept (1 1) | 5 4 kept (0 0) | 3..0 transmit optional signalling (2407) |
//  byte 7   kept (FF)
class CPersonalityData : public CQXTViewProc {
public:
    /// Image address of the first personality slot.
    static constexpr uint16_t kImageAddress = 304;
    /// Bytes of one personality record.
    static constexpr size_t kRecordSize = 8;
    /// Number of personality slots in the image.
    static constexpr size_t kSlots = 16;

    /// Byte offsets of the record's fields.
    struct Offset {
        static constexpr size_t TxAdmit = 1;
        static constexpr size_t TimeOut = 2;
        static constexpr size_t PreAlert = 3;
        static constexpr size_t ReKey = 4;
        static constexpr size_t Reset = 5;
        static constexpr size_t Signalling = 6;  ///< bits 0-3
    };
    static_assert(Offset::Signalling < kRecordSize);

    /// A new personality with the defaults and a new identity.
    CPersonalityData();
    /// Fills the record with the defaults (FF 01 3C 00 00 00 C0 FF).
    void SetDefaults();

    uint8_t TxAdmit() const { return record_[Offset::TxAdmit]; }
    uint8_t TimeOut() const { return record_[Offset::TimeOut]; }
    uint8_t PreAlert() const { return record_[Offset::PreAlert]; }
    uint8_t ReKey() const { return record_[Offset::ReKey]; }
    uint8_t ResetTime() const { return record_[Offset::Reset]; }
    unsigned TxSignalling() const { return record_.Bits(Offset::Signalling, 0, 4); }

    /// Identity of the receive signalling system chosen on the Signaling page (memory only).
    uint32_t rxSignallingId_ = 0;
    /// Identity of the transmit signalling system chosen on the Signaling page (memory only).
    uint32_t txSignallingId_ = 0;
};

}  // namespace rv
