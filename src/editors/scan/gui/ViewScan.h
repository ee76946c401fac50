#pragma once
// The scan view: one scan list at a time on the scan sheet, moved between the (at most two)
// scan lists by the record commands. The active page is remembered from one view to the next.

#include "editors/scan/ScanData.h"
#include "editors/scan/gui/ScanSheet.h"
#include "ui/ListItemView.h"

namespace rv {

class CViewScan : public CListItemViewOf<CScanData, CScanSheet> {
    Q_OBJECT
public:
    static constexpr int kFormId = CScanData::TextId::ScanView;

    /// Opens on the first scan list (an empty list first gets a default scan list).
    explicit CViewScan(QWidget* parent = nullptr);
};

}  // namespace rv
