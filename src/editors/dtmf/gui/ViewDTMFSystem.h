#pragma once
// The DTMF system view: the DTMF system on its two-page sheet. The memory image holds one
// system, so the view moves among the systems but offers no add or delete that could make a
// second one. The active page is remembered from one view to the next.

#include "editors/dtmf/DtmfSystemData.h"
#include "editors/dtmf/gui/DTMFSysSheet.h"
#include "ui/ListItemView.h"

namespace rv {

class CViewDTMFSystem : public CListItemViewOf<CDtmfSystemData, CDTMFSysSheet> {
    Q_OBJECT
public:
    static constexpr int kFormId = kDtmfSystemFormId;

    /// Opens on the first system (an empty list first gets a default system).
    explicit CViewDTMFSystem(QWidget* parent = nullptr);

    /// The image holds exactly one DTMF system: no add, no delete.
    bool OffersAddDelete() const override { return false; }
};

}  // namespace rv
