#pragma once
// The channel sheet: the Basic and Miscellaneous pages of one channel on two tabs.

#include "ui/RecordSheet.h"

namespace rv {

class CPageChanBasic;
class CPageChanMisc;

class CChanSheet : public CRecordSheet {
    Q_OBJECT
public:
    explicit CChanSheet(QWidget* parent = nullptr);

    /// Both pages edit this channel (0: none) and load it.
    void SetChannel(uint32_t channelId) { SetItem(channelId); }
    /// The Basic page.
    CPageChanBasic* Basic() const { return basic_; }
    /// The Miscellaneous page.
    CPageChanMisc* Misc() const { return misc_; }

private:
    CPageChanBasic* basic_;
    CPageChanMisc* misc_;
};

}  // namespace rv
