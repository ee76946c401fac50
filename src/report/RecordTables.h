#pragma once
// Every record of the radio data with its field table: the blocks, and the items of the four
// lists, in the order of their places in the memory image. What dump, printing, compare and
// the round-trip tests walk.

#include <cstddef>
#include <span>
#include <vector>

#include "data/FieldTable.h"

namespace rv {

class RadioData;

class CRawRecord;

/// One kind of record: a block, or the items of a list.
struct RecordKind {
    const FieldTable* table;
    const char* listName;  ///< the list's name ("channels"); nullptr for a block
    size_t address;        ///< image address of the block or of the list's first item
    /// The records of this kind in the radio data (one for a block), in list order.
    std::vector<CRawRecord*> (*records)(RadioData& radio);
};

/// The record kinds in image order.
std::span<const RecordKind> RecordKinds();

/// One record of the radio data.
struct RecordEntry {
    const RecordKind* kind;
    size_t index;    ///< 1-based item number in its list; 0 for a block
    size_t address;  ///< image address of the record
    std::span<uint8_t> bytes;
};

/// Every record of the radio data: the blocks, then each list's items, in image order.
std::vector<RecordEntry> AllRecords(RadioData& radio);

}  // namespace rv
