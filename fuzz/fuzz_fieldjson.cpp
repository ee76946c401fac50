// Records and JSON as a file or a user may deliver them, through every field table: decoding
// any bytes stays within bounds, a record's own text form and JSON values give its bytes back,
// and any JSON object is stored field by field without harm. The input is one record's bytes
// (the first bytes, as many as the largest record) followed by JSON text.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "data/FieldJson.h"
#include "report/RecordTables.h"
#include "base/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace rv;
    (void)fuzz::ProgramDir();  // the language file for the choice lists
    const CSettings& texts = Settings();

    size_t largest = 0;
    for (const RecordKind& kind : RecordKinds())
        largest = std::max(largest, kind.table->recordSize);
    const size_t recordBytes = std::min(size, largest);
    const std::string jsonText(reinterpret_cast<const char*>(data) + recordBytes,
                               size - recordBytes);
    const nlohmann::ordered_json edit = nlohmann::ordered_json::parse(jsonText, nullptr, false);

    for (const RecordKind& kind : RecordKinds()) {
        const FieldTable& table = *kind.table;
        std::vector<uint8_t> record(table.recordSize, 0xFF);
        std::copy_n(data, std::min(recordBytes, record.size()), record.begin());
        const std::vector<uint8_t> original = record;

        (void)Decode(table, record, texts);
        FromForm(table, ToForm(table, record, texts), record, texts);
        if (record != original) std::abort();  // an unchanged text form changes nothing
        RecordFromJson(table, RecordToJson(table, record, texts), record, texts);
        if (record != original) std::abort();  // nor do the record's own values

        if (!edit.is_discarded()) {
            RecordFromJson(table, edit, record, texts);
            (void)RecordToJson(table, record, texts)
                .dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
        }
    }
    return 0;
}
