#pragma once
// The programmable keys view: short and long press functions of the two side keys, and of
// the top key at the service levels. The boxes offer the key functions the model has; the
// top-key boxes pair the emergency functions; a side key refuses VOX On/Off while VOX is off,
// and the boxes drop it when the VOX view switches VOX off.

#include <vector>

#include "ui/FieldForm.h"

namespace rv {

class CViewKeys : public CRecordFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 6601;
    /// Message shown when a side key is given VOX On/Off while VOX is off.
    static constexpr int kVoxOffMessage = 1179;
    struct Control {
        static constexpr int kTkShort = 6608;
        static constexpr int kTkLong = 6610;
        static constexpr int kSk1Short = 6614;
        static constexpr int kSk1Long = 6616;
        static constexpr int kSk2Short = 6620;
        static constexpr int kSk2Long = 6622;
    };

    explicit CViewKeys(QWidget* parent = nullptr);
    void Reload() override;
    /// The VOX notice: with VOX off, the side-key boxes holding VOX On/Off fall back.
    void OnNotice(const NoticeRecord& notice) override;

private:
    /// After the user changed box id: pairing for the top key, the VOX check for side keys.
    void OnEdited(int id);
    /// The other top-key box follows a change of box id.
    void PairTopKey(int id);
    /// Side-key boxes holding VOX On/Off fall back to their first entry while VOX is off;
    /// true when one did.
    bool DropVoxFromSideKeys(int onlyId = 0);
};

}  // namespace rv
