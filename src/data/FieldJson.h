#pragma once
// Records as JSON, by their field tables: one object per record, each field under its key as
// {"value": the stored number or text, "text": what the views show}, and the record's bytes
// as hexadecimal under "raw". The same objects are read back into records.

#include <nlohmann/json.hpp>
#include <span>
#include <string>
#include <vector>

#include "data/FieldTable.h"

namespace rv {

/// Member of a record's object that holds its bytes in hexadecimal.
inline constexpr const char* kRawJsonKey = "raw";

/// The record's object: every field {"value", "text"} in table order, then "raw".
nlohmann::ordered_json RecordToJson(const FieldTable& table, std::span<const uint8_t> record,
                                    const CTextService& texts);
/// Stores a record's object field by field, in table order: a member's "value" (a number, or
/// a string for texts and raw bytes) when it has one, else its "text" as the views take it; a
/// bare number or string is a value. "raw" and keys the table does not have are ignored.
/// Returns the keys whose value or text was refused (their bits are kept).
std::vector<std::string> RecordFromJson(const FieldTable& table,
                                        const nlohmann::ordered_json& object,
                                        std::span<uint8_t> record, const CTextService& texts);

}  // namespace rv
