#pragma once
// The scan sheet: the scan configuration page (scan modes, transmit channel, priority channels,
// timing and alerts) and the channel list page (number of entries and the 16 members). The
// choice and flag boxes are bound to the record's fields; a channel box names a channel by its
// identity, so the choice follows the channel when channels are deleted.

#include <span>
#include <utility>

#include "data/RadioData.h"
#include "editors/scan/ScanData.h"
#include "ui/FieldForm.h"
#include "ui/RecordSheet.h"

namespace rv {

/// A channel box of a scan page: its control id and the reference it names.
struct ScanChannelBox {
    int controlId;
    size_t reference;  ///< CScanData::Reference order: designated, priority 1, 2, members
};

class CScanPage : public CRecordPageOf<CScanData, &RadioData::FindScanList> {
    Q_OBJECT
public:
    enum class Kind { Config, ChannelList };
    CScanPage(Kind kind, std::span<const FormRow> rows, std::span<const FieldControl> fields,
              std::span<const ScanChannelBox> channelBoxes, QWidget* parent);

    /// Fills the channel boxes, shows the record and applies the enable rules.
    void Load() override;
    /// Writes the choice and flag boxes the user changed back into the record.
    void WriteBack() override;
    /// Channels added, deleted or taken out of use: the channel boxes are filled again.
    void OnNotice(const NoticeRecord& notice) override;

    QWidget* Control(int id) const { return controls_.Control(id); }

private:
    void ApplyEnables();
    void ChannelChosen(const ScanChannelBox& box);

    Kind kind_;
    CFormControls controls_;
    CFieldFormBinding binding_;
    std::span<const FieldControl> fields_;
    std::span<const ScanChannelBox> channelBoxes_;
    bool loading_ = false;
};

class CScanSheet : public CRecordSheet {
    Q_OBJECT
public:
    explicit CScanSheet(QWidget* parent = nullptr);

    CScanPage* Config() const { return config_; }
    CScanPage* ChannelList() const { return channelList_; }

private:
    CScanPage* config_;
    CScanPage* channelList_;
};

}  // namespace rv
