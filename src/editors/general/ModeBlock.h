#pragma once
// Operating modes of the radio: panel test, clone, destination and factory clone.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "data/QXTViewProc.h"
#include "editors/common/FieldEdit.h"

namespace rv {

class CTextService;

/// Text form of the mode record.
struct ModeFields {
    bool PanelTest = false;
    bool Clone = false;
    bool Destination = false;
    bool FactoryClone = false;
    bool operator==(const ModeFields&) const = default;
};

/// The mode view's rule: factory clone may be on only while clone is on. Clears FactoryClone
/// when Clone is off; returns whether the factory-clone box is enabled.
bool ApplyCloneRule(ModeFields& fields);

/// The mode record's edit function with the clone rule: Factory Clone Mode is refused while
/// Clone Mode is off, and switching Clone Mode off clears Factory Clone Mode (named with the
/// reason). A stored factory clone without clone is kept until the user edits one of them.
EditResult EditModeField(std::span<uint8_t> record, std::string_view key, std::string_view text,
                         const CTextService& texts);

// ModeRecord, 2 bytes at image 295..296:
//
//   byte 0: kept
//   byte 1:  7    | 6             | 5           | 4     | 3          | 2 1 0
//            kept | factory clone | destination | clone | panel test | kept
class CModeBlock : public CPlainBlock {
public:
    /// Where the record lies in the memory image, and its length.
    static constexpr uint16_t kImageAddress = 295;
    static constexpr size_t kRecordSize = 2;

    /// Byte offsets (and bit positions) of the record's fields.
    struct Offset {
        static constexpr size_t kModes = 1;
        static constexpr unsigned kPanelTestBit = 3;
        static constexpr unsigned kCloneBit = 4;
        static constexpr unsigned kDestinationBit = 5;
        static constexpr unsigned kFactoryCloneBit = 6;
    };
    static_assert(Offset::kModes < kRecordSize && Offset::kFactoryCloneBit < 8);

    /// A record with the defaults.
    CModeBlock();
    /// FF 87 (every mode off).
    void SetDefaults() override;

    /// The record as its view shows it (choice fields as texts of their lists; a stored value
    /// no entry has as its number, "(value 9)").
    ModeFields ToFields(const CTextService& texts) const;
    /// The same with the program's texts.
    ModeFields ToFields() const;
    /// The view's fields into the record. A text that is not in its list, or that the record
    /// already shows, keeps the field's stored bits.
    void FromFields(const ModeFields& fields, const CTextService& texts);
    /// The same with the program's texts.
    void FromFields(const ModeFields& fields);
};

}  // namespace rv
