#pragma once
// The factory fields of the radio information record as the Factory Mode screen edits them.
// The block owns no record of its own: it points at the radio information block.

namespace rv {

class CRadioInfoBlock;

class CFactoryBlock {
public:
    /// A block that points at nothing yet.
    CFactoryBlock() = default;
    virtual ~CFactoryBlock() = default;
    /// Nothing to set: the factory fields live in the radio information record.
    void SetDefaults() {}
    /// Points the block at the radio information record (each time Factory Mode loads).
    void Attach(CRadioInfoBlock* info) { info_ = info; }
    /// The radio information block, nullptr before the first Attach.
    CRadioInfoBlock* Info() const { return info_; }

private:
    CRadioInfoBlock* info_ = nullptr;
};

}  // namespace rv
