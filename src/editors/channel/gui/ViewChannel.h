#pragma once
// The channel view: one channel at a time on the channel sheet (Basic and Miscellaneous
// pages), moved between the channels by the record commands (first, previous, next, last,
// add, delete, go to N). The active page is remembered from one channel view to the next.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "editors/channel/ChannelFields.h"
#include "ui/CustomFormView.h"
#include "ui/NavigationBar.h"

namespace rv {

class CChanSheet;
class CChannelData;

class CViewChannel : public CCustomFormView, public IRecordList {
    Q_OBJECT
public:
    /// Form number of the view (caption text and help topic).
    static constexpr int kFormId = kChannelViewFormId;

    /// Opens on the first channel (an empty channel list first gets a default channel).
    explicit CViewChannel(QWidget* parent = nullptr);
    ~CViewChannel() override;

    /// Both pages load the current channel again.
    void Reload() override;
    /// Both pages write back.
    void Store() override;
    /// Passes another view's notice to the pages (after re-finding the current channel, which
    /// another view may have deleted).
    void OnNotice(const NoticeRecord& notice) override;
    /// Record commands 0 to 6: the pages write back, the command runs, the pages load the new
    /// current channel and the change is announced.
    void Navigate(int command, int number) override;

    // IRecordList.
    int RecordCount() const override;
    int CurrentRecord() const override;

    /// The current channel, nullptr when none.
    CChannelData* Current() const;
    /// The sheet of the two pages.
    CChanSheet* Sheet() const { return sheet_; }
    /// Index of the page the next channel view opens on.
    static int RememberedPage();

protected:
    void showEvent(QShowEvent* event) override;

private:
    /// Makes the channel at a list position current (none: no channel) and loads the pages.
    void ShowIndex(std::optional<size_t> index);
    void UpdateTitle();

    CChanSheet* sheet_;
    uint32_t currentId_ = 0;
    size_t lastIndex_ = 0;
};

}  // namespace rv
