#pragma once
// Field-level compare of two configurations: the header lines, every record field by field
// through its field table, and the image bytes that no field of any record covers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "data/RadioData.h"
#include "report/RecordTables.h"

namespace rv {

class CTextService;

/// One configuration as compare sees it: its header lines, its records and its image.
struct ConfigSnapshot {
    /// (key, text) of each header line.
    std::vector<std::pair<std::string, std::string>> header;
    struct Record {
        const RecordKind* kind = nullptr;
        size_t index = 0;  ///< 1-based item number; 0 for a block
        size_t address = 0;
        std::vector<uint8_t> bytes;
    };
    std::vector<Record> records;
    Image image{};
};

/// Takes the records and the memory image of the radio data as they are now.
ConfigSnapshot TakeSnapshot(RadioData& radio,
                            std::vector<std::pair<std::string, std::string>> header);

/// What a difference concerns.
enum class DifferenceKind {
    Header,  ///< a header line
    Field,   ///< a field of a record both sides have
    Record,  ///< a list item only one side has
    Byte,    ///< an image byte outside every field
};

/// One difference between configuration A and B.
struct Difference {
    DifferenceKind kind = DifferenceKind::Field;
    std::string record;  ///< record name ("channel", "vox"); "" for header and byte
    size_t index = 0;    ///< 1-based item number; 0 for a block
    std::string key;     ///< field or header key
    std::string label;   ///< field label as shown
    std::string a;       ///< text in A ("" when A lacks the record)
    std::string b;       ///< text in B
    size_t address = 0;  ///< image address of the byte or field
};

/// The differences from A to B in image order, header lines first.
std::vector<Difference> CompareConfigs(const ConfigSnapshot& a, const ConfigSnapshot& b,
                                       const CTextService& texts);

/// One line for a difference: "channel 3, RX Frequency[MHz]: 433.50000 → 400.32500";
/// `onlyInText` fills "only in %s" for a record one side lacks.
std::string DifferenceLine(const Difference& d, const std::string& onlyInA,
                           const std::string& onlyInB);

}  // namespace rv
