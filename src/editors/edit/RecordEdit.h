#pragma once
// The one edit path of the radio data: one field of one record, by the names `dump --json` and
// `set` use, goes to the edit function of its record (with the record's rules). The views, the
// channel grid, the command line's `set` and `set --from` all end in these functions.

#include <optional>
#include <string_view>

#include "editors/common/FieldEdit.h"

namespace rv {

class RadioData;

/// Edits one field of a record of the editors: `record` is the name of a block ("keys") or of
/// a list ("channels"), `index` the 1-based item number of a list (0 for a block). nullopt when
/// the editors have no such record or item (the service records have no rules of their own:
/// their fields take EditPlainField). The caller raises the result's notices.
std::optional<EditResult> EditRecordField(RadioData& radio, std::string_view record, size_t index,
                                          std::string_view key, std::string_view text,
                                          const CTextService& texts);

}  // namespace rv
