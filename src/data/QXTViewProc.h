#pragma once
// Common bases of the radio's data: plain blocks that own one raw record, and items
// (CQXTViewProc) that also take part in reference resolution and notices.

#include <cstddef>
#include <cstdint>

#include "base/Bytes.h"
#include "data/Notice.h"

namespace rv {

/// A block that owns one fixed-length raw record laid out like its stretch of the image.
class CPlainBlock {
public:
    virtual ~CPlainBlock() = default;
    uint8_t* Record() { return record_.Data(); }
    const uint8_t* Record() const { return record_.Data(); }
    CRawRecord& Raw() { return record_; }
    const CRawRecord& Raw() const { return record_; }
    size_t Size() const { return record_.Size(); }
    /// Fills the record with the category's defaults.
    virtual void SetDefaults() = 0;

protected:
    explicit CPlainBlock(size_t size) : record_(size) {}
    CRawRecord record_;
};

/// Base of list items and of the blocks that resolve references (misc, emergency).
class CQXTViewProc {
public:
    virtual ~CQXTViewProc() = default;
    CQXTViewProc(const CQXTViewProc&) = delete;
    CQXTViewProc& operator=(const CQXTViewProc&) = delete;

    uint8_t* Record() { return record_.Data(); }
    const uint8_t* Record() const { return record_.Data(); }
    CRawRecord& Raw() { return record_; }
    const CRawRecord& Raw() const { return record_; }

    /// Turns the record's position references into identities.
    virtual void ResolveLinks() {}
    /// Reacts to a notice (checks references, logs broken ones).
    virtual void OnNotice(const NoticeRecord&) {}
    /// Removes this item's entries from the invalid log (before it is deleted).
    virtual void WithdrawNotices() {}

    uint32_t used_ = 1;  ///< 1 when the item is in use
    uint32_t id_ = 0;    ///< identity; 0 for blocks that never take one

    /// Next identity of the process-wide counter (65535 + 200 for the first, then +200).
    static uint32_t TakeIdentity();

protected:
    /// takeIdentity: list items take a new identity; the misc and emergency blocks do not.
    CQXTViewProc(size_t recordSize, bool takeIdentity)
        : id_(takeIdentity ? TakeIdentity() : 0), record_(recordSize) {}
    CRawRecord record_;
};

}  // namespace rv
