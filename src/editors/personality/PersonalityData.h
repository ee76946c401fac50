#pragma once
// One personality: the transmit rules a group of channels shares (admit criterion, time-out
// timer with pre-alert, re-key and reset times, transmit signalling).

#include <cstddef>
#include <cstdint>

#include <string>

#include "data/QXTViewProc.h"

namespace rv {

class CTextService;

/// Choice lists of the personality record's fields (also the ids of the controls showing them).
inline constexpr int kTxAdmitList = 2321;       ///< byte 1
inline constexpr int kTimeOutList = 2325;       ///< byte 2
inline constexpr int kPreAlertList = 2327;      ///< byte 3
inline constexpr int kReKeyList = 2329;         ///< byte 4
inline constexpr int kResetList = 2331;         ///< byte 5
inline constexpr int kTxSignallingList = 2407;  ///< byte 6 bits 0-3
/// Form id of the personality view, ids (and tab captions) of its pages.
inline constexpr int kPersonalityFormId = 2310;
inline constexpr int kPersonalityRxTxPageId = 2311;
inline constexpr int kPersonalitySignalPageId = 2313;
/// Controls of the pages that store nothing in the record.
inline constexpr int kBusyChannelLockoutId = 2341;
inline constexpr int kCarrierGoneTimeId = 2323;
inline constexpr int kRxOptionalSignallingId = 2402;
inline constexpr int kRxSignallingSystemId = 2404;
inline constexpr int kTxSignallingSystemId = 2409;
inline constexpr int kDecodeConditionId = 2413;

/// Text form of the RXTX page: the texts of lists 2321, 2325, 2327, 2329 and 2331.
struct PersonalityFields {
    std::string TxAdmitText;   ///< list 2321, byte 1
    std::string TimeOutText;   ///< list 2325, byte 2
    std::string PreAlertText;  ///< list 2327, byte 3
    std::string ReKeyText;     ///< list 2329, byte 4
    std::string ResetText;     ///< list 2331, byte 5
    bool operator==(const PersonalityFields&) const = default;
};

/// Which texts of the RXTX page the user changed; only those are written back.
struct PersonalityEdits {
    bool txAdmit = true;
    bool timeOut = true;
    bool preAlert = true;
    bool reKey = true;
    bool reset = true;
    /// The texts in which `edited` differs from `shown`, the texts the page showed.
    static PersonalityEdits Between(const PersonalityFields& shown, const PersonalityFields& edited)
    {
        return {edited.TxAdmitText != shown.TxAdmitText, edited.TimeOutText != shown.TimeOutText,
                edited.PreAlertText != shown.PreAlertText, edited.ReKeyText != shown.ReKeyText,
                edited.ResetText != shown.ResetText};
    }
};

/// Text form of the Signaling page: the text of list 2407.
struct PersonalitySignalFields {
    std::string TxSignallingText;  ///< list 2407, byte 6 bits 0-3
    bool operator==(const PersonalitySignalFields&) const = default;
};

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

    /// The RXTX page's texts of bytes 1 to 5 (a value no entry has as its number).
    PersonalityFields ToFields(const CTextService& texts) const;
    PersonalityFields ToFields() const;  ///< with the program's texts
    /// Writes the RXTX page's texts back into bytes 1 to 5; a text not in its list (or that
    /// the record already shows) keeps the stored value.
    void FromFields(const PersonalityFields& fields, const CTextService& texts);
    void FromFields(const PersonalityFields& fields);  ///< with the program's texts
    /// The same for the texts marked in `edits` only; the other bytes keep their values (a
    /// value no list entry has, a pre-alert beyond the time-out as it came from the radio).
    void FromFields(const PersonalityFields& fields, const PersonalityEdits& edits);
    void FromFields(const PersonalityFields& fields, const PersonalityEdits& edits,
                    const CTextService& texts);
    /// The Signaling page's text of byte 6 bits 0-3.
    PersonalitySignalFields ToSignalFields(const CTextService& texts) const;
    PersonalitySignalFields ToSignalFields() const;  ///< with the program's texts
    /// Writes the Signaling page's text back into byte 6 bits 0-3 (other bits kept); a text
    /// not in the list keeps the stored value.
    void FromSignalFields(const PersonalitySignalFields& fields, const CTextService& texts);
    void FromSignalFields(const PersonalitySignalFields& fields);  ///< with the program's texts

    /// Identity of the receive signalling system chosen on the Signaling page (memory only).
    uint32_t rxSignallingId_ = 0;
    /// Identity of the transmit signalling system chosen on the Signaling page (memory only).
    uint32_t txSignallingId_ = 0;
};

}  // namespace rv
