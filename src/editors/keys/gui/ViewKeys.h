#pragma once
// The programmable keys view: short and long press functions of the two side keys, and of
// the top key at the service levels. The boxes offer the key functions the model has; the
// rules (top-key pairing, VOX On/Off only while VOX is on) apply to what the user edits, through
// the key record's edit function; a stored pair that does not match is shown as stored.

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
    /// Each box the user changed goes through the key record's edit function (pairing of the
    /// top key, VOX On/Off refused while VOX is off); a box that shows what it was loaded with
    /// leaves its byte as it is. The boxes then show what the rules made of the edit.
    void Store() override;
    /// The VOX notice: the VOX edit freed the side keys; the boxes show the record again.
    void OnNotice(const NoticeRecord& notice) override;
};

}  // namespace rv
