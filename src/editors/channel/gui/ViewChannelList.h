#pragma once
// The channel list view: every channel as one row of a grid (frequencies, tone types and
// tones, spacing, power, Auto Start Scan). Each edited cell writes its row back into the
// channel at once; clicking a row makes that channel current for the record commands.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "editors/channel/ChannelFields.h"
#include "ui/ListItemView.h"

namespace rv {

class CGridCtrl;
class CChannelData;

class CViewChannelList : public CRecordListView {
    Q_OBJECT
public:
    /// Form number of the view (caption text and help topic).
    static constexpr int kFormId = kChannelListFormId;

    /// Opens on the first channel (an empty channel list first gets a default channel).
    explicit CViewChannelList(QWidget* parent = nullptr);
    ~CViewChannelList() override;

    /// Refills every row from the channels.
    void Reload() override;
    /// Stores a cell that is being edited.
    void Store() override;
    /// Refills the rows when another view changed a channel or the list.
    void OnNotice(const NoticeRecord& notice) override;

    /// The grid (control 3771).
    CGridCtrl* Grid() const { return grid_; }
    /// The current channel, nullptr when none.
    CChannelData* Current() const;
    int RecordLimit() const override { return static_cast<int>(kMaxChannels); }

protected:
    void showEvent(QShowEvent* event) override;
    // The channel list for the record commands.
    size_t ItemCount() const override;
    uint32_t ItemIdAt(size_t index) const override;
    size_t NumberOf(uint32_t id) const override;
    ListCommandResult Run(ListCommand command, std::optional<size_t> current, int number) override;
    /// Stores a cell that is being edited.
    void WriteBackShown() override;
    /// Makes the channel at a list position current and refills the grid.
    void ShowIndex(std::optional<size_t> index) override;

private:
    void Fill();
    void FillRow(int row);
    void CommitRow(int row);
    void SelectCurrent();

    CGridCtrl* grid_;
    /// Row of the last current channel: new data (an undo) put the channel there current again.
    int lastRow_ = -1;
};

}  // namespace rv
