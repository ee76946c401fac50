#pragma once
// The DTMF system sheet: the Basic page (Primary ID, PTT ID type, side tone, short beep) and
// the Advanced page (pretime, digit duration, digit interval). Both pages show the fields of the
// record through the field table; the Advanced page announces each field the user changed.

#include <span>

#include "data/RadioData.h"
#include "editors/dtmf/DtmfSystemData.h"
#include "ui/FieldForm.h"
#include "ui/RecordSheet.h"

namespace rv {

/// Form and page numbers of the DTMF system view (caption and help topics).
inline constexpr int kDtmfSystemFormId = 5300;
inline constexpr int kDtmfBasicPageId = 5301;
inline constexpr int kDtmfAdvancedPageId = 5302;
/// Control id of the Primary ID field.
inline constexpr int kDtmfPrimaryIdBox = 5304;

/// A page of the DTMF system sheet: a form whose controls are bound to fields of the record.
class CDtmfSystemPage : public CRecordPageOf<CDtmfSystemData, &RadioData::FindDtmfSystem> {
    Q_OBJECT
public:
    /// raiseChanges: each field the user changed is announced (the Advanced page).
    CDtmfSystemPage(const char* name, int pageId, std::span<const FormRow> rows,
                    std::span<const FieldControl> fields, bool raiseChanges, QWidget* parent);

    void Load() override;
    /// Writes the fields the user changed back into the record.
    void WriteBack() override;

    /// The control with this id, nullptr when none.
    QWidget* Control(int id) const { return controls_.Control(id); }

private:
    CFormControls controls_;
    CFieldFormBinding binding_;
    std::span<const FieldControl> fields_;
    bool raiseChanges_;
    bool loading_ = false;
};

class CDTMFSysSheet : public CRecordSheet {
    Q_OBJECT
public:
    explicit CDTMFSysSheet(QWidget* parent = nullptr);

    CDtmfSystemPage* Basic() const { return basic_; }
    CDtmfSystemPage* Advanced() const { return advanced_; }

private:
    CDtmfSystemPage* basic_;
    CDtmfSystemPage* advanced_;
};

}  // namespace rv
