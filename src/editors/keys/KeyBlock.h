#pragma once
// The programmable keys: the functions of the top key (TK) and the two side keys (SK1, SK2)
// for a short and a long press.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "data/Notice.h"
#include "editors/common/FieldEdit.h"
#include "data/QXTViewProc.h"

namespace rv {

class CTextService;

/// Function codes that the program treats specially (all others pass through unchanged).
enum class KeyFunction : uint8_t {
    None = 0,         ///< given to a key that loses its function
    TopKeyPairA = 28, ///< 28 and 29 pair up on the top key
    TopKeyPairB = 29,
    Vox = 75,         ///< allowed on a side key only while VOX is on
    Restricted = 79,  ///< not offered by the editions and the RV-205 model
};

/// Text form of the key record: the texts of choice list 6605 for bytes 0 to 5.
struct KeyFields {
    std::string TkShortText, TkLongText;
    std::string Sk1ShortText, Sk1LongText;
    std::string Sk2ShortText, Sk2LongText;
    bool operator==(const KeyFields&) const = default;
};

/// Top-key pairing: the code the other TK box takes after one TK box changed to changedCode
/// while the other held otherCode (28 and 29 pair up; a box that loses its partner gets 0).
uint8_t PairedTopKeyCode(uint8_t changedCode, uint8_t otherCode);
/// True when a side key may hold the code: VOX On/Off only while VOX is on.
bool SideKeyAllowed(uint8_t code, bool voxOn);
/// True when the key boxes offer the code for the current model (79 is not offered by the
/// editions and the model of model text 510).
bool KeyFunctionOffered(uint8_t code);

/// The key record's edit function: sets one key (by field key, to a text of list 6605) with
/// the rules of the key view: a code the model does not offer and VOX On/Off on a side key
/// while VOX is off are refused; a changed top key takes its pair (Emergency On and Off).
/// `record` is the key record's bytes; `voxOn` whether VOX is on.
EditResult EditKeyField(std::span<uint8_t> record, bool voxOn, std::string_view key,
                        std::string_view text, const CTextService& texts);

// KeyRecord, 11 bytes at image 120..130:
//
//   0  TK short    1  TK long    2  SK1 short    3  SK1 long    4  SK2 short    5  SK2 long
//   6..9   kept
//   10     bit 0 cleared by the defaults, bits 1-7 kept
class CKeyBlock : public CPlainBlock {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 120;
    static constexpr size_t kRecordSize = 11;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kTkShort = 0;
        static constexpr size_t kTkLong = 1;
        static constexpr size_t kSk1Short = 2;
        static constexpr size_t kSk1Long = 3;
        static constexpr size_t kSk2Short = 4;
        static constexpr size_t kSk2Long = 5;
        static constexpr size_t kFlags = 10;
    };
    static_assert(Offset::kSk2Long < Offset::kFlags && Offset::kFlags < kRecordSize);

    /// Choice list of the key functions.
    static constexpr int kFunctionList = 6605;
    /// Control ids (and choice lists) of the six key boxes, in record order.
    static constexpr int kBoxIds[6] = {6608, 6610, 6614, 6616, 6620, 6622};

    /// A record with the defaults.
    CKeyBlock();
    /// All 0xFF, then 29 28 66 75 66 80 (SK1 long 0 in the editions) and byte 10 bit 0 clear.
    void SetDefaults() override;
    /// Code 1140 with key 0 (VOX switched off): every side key holding 75 gets 0.
    virtual void OnNotice(const NoticeRecord& notice);

    /// Function code of key byte 0..5.
    uint8_t Function(size_t index) const { return record_[index]; }
    void SetFunction(size_t index, uint8_t code) { record_[index] = code; }

    /// Bytes 0-5 as texts of choice list 6605 (a code no entry has as its number).
    KeyFields ToFields(const CTextService& texts) const;
    KeyFields ToFields() const;  ///< with the program's texts
    /// Bytes 0-5 from texts of choice list 6605; a text that is not in the list, or that the
    /// record already shows, keeps the stored code.
    void FromFields(const KeyFields& fields, const CTextService& texts);
    void FromFields(const KeyFields& fields);  ///< with the program's texts
};

}  // namespace rv
