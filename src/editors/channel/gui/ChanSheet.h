#pragma once
// The channel sheet: the Basic and Miscellaneous pages of one channel on two tabs. The sheet
// passes the current channel, loads, stores and notices on to both pages.

#include <QTabWidget>
#include <cstdint>
#include <functional>

#include "data/Notice.h"

namespace rv {

class CPageChanBasic;
class CPageChanMisc;

class CChanSheet : public QTabWidget {
    Q_OBJECT
public:
    /// Where the pages' notices go (the view raises them).
    using NoticeSink = std::function<void(const NoticeRecord&)>;

    explicit CChanSheet(QWidget* parent = nullptr);

    /// Sets where the pages' notices go and the sender they carry.
    void SetSink(NoticeSink sink, const void* sender);
    /// Both pages edit this channel (0: none) and load it.
    void SetChannel(uint32_t channelId);
    /// Both pages load from the channel.
    void Load();
    /// Both pages write back into the channel.
    void Store();
    /// Hands a notice of another view to both pages.
    void OnNotice(const NoticeRecord& notice);
    /// Leaves the channel without writing or loading and sends no more notices (the view is
    /// going away).
    void Detach();
    /// Captions of the tabs from the language file.
    void Retranslate();

    /// The Basic page.
    CPageChanBasic* Basic() const { return basic_; }
    /// The Miscellaneous page.
    CPageChanMisc* Misc() const { return misc_; }

private:
    CPageChanBasic* basic_;
    CPageChanMisc* misc_;
};

}  // namespace rv
