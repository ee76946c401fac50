#pragma once
// Field-level compare of two configurations: the header lines, every record field by field
// through its field table, and the image bytes that no field of any record covers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/DataFile.h"
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

/// Header lines of a snapshot: (key, text).
using HeaderLines = std::vector<std::pair<std::string, std::string>>;

/// Takes the records and the memory image of the radio data as they are now.
ConfigSnapshot TakeSnapshot(RadioData& radio, HeaderLines header);

/// The records of a memory image as loading it into the radio data would give them (the
/// lists as long as the loader reads them), taken without touching the radio data: what the
/// configuration in a data file or a radio's memory is, beside the one being edited.
ConfigSnapshot SnapshotOfImage(const Image& image, HeaderLines header);

/// The header lines of a data file's header and comment, by their fixed keys.
HeaderLines HeaderLinesOf(const CDataFileHeader& header, const std::string& comment);

/// A data file read for compare: the snapshot, or the message that says why it was not read.
struct SnapshotFile {
    std::optional<ConfigSnapshot> snapshot;
    int message = 0;  ///< 811 not readable, 810 unknown model, 1140 / 1141 version
};
/// Reads a data file with the checks of Open (header, model, version, the whole image) into a
/// snapshot. The radio data, the document and the settings stay as they are.
SnapshotFile ReadSnapshotFile(const std::string& path);

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
