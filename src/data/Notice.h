#pragma once
// The change record handed to every block by RadioData::Notify and broadcast to every open
// view, and the codes that say what changed.

#include <cstdint>
#include <string>

namespace rv {

/// What a notice reports.
enum class NoticeCode : uint32_t {
    FieldCommitted = 0,  ///< an editor field was committed (itemTextId = its control id)
    First = 0,           ///< list view moved to the first item
    Previous = 1,
    Next = 2,
    Last = 3,
    Added = 4,           ///< an item was added
    Deleted = 5,         ///< an item was deleted; also "check all references"
    GoTo = 6,            ///< list view moved to the item given by number
    RowCommitted = 7,    ///< a channel-list grid row was committed (flags 2048, key = channel)
    UsedChanged = 9,     ///< an item's used flag changed
    VoxChanged = 1140,   ///< the VOX gain level changed (key = the new level)
};

/// Flags value of a grid-row notice.
inline constexpr uint32_t kRowCommittedFlags = 2048;
/// Base of every invalid-log key: key = item id + kInvalidKeyBase + the faulty field's text id.
inline constexpr uint32_t kInvalidKeyBase = 65535;

struct NoticeRecord {
    const void* sender = nullptr;  ///< the view that raised it; views ignore their own notices
    uint32_t itemTextId = 0;       ///< the field concerned (control id = text number)
    NoticeCode code = NoticeCode::FieldCommitted;
    std::string name;     ///< invalid-log entry: first column (the faulty field's name)
    std::string message;  ///< invalid-log entry: second column (where and why)
    std::string text3, text4;
    uint32_t flags = 0;
    uint32_t key = 0;  ///< code 1140: new value; code 7: channel number; logged entry: its key
};

}  // namespace rv
