#pragma once
// The test frequencies: sixteen receive/transmit pairs and five point frequencies in two grids.
// A typed frequency outside the band is set to the nearest band limit (message 1164); a pair
// frequency is fitted to a channel step. Each committed cell is stored at once.

#include "ui/CustomFormView.h"

class QLabel;

namespace rv {

class CGridCtrl;

class CViewTestFreq : public CCustomFormView {
    Q_OBJECT
public:
    explicit CViewTestFreq(QWidget* parent = nullptr);
    ~CViewTestFreq() override;

    void Reload() override;
    void Store() override;

    CGridCtrl* TestGrid() const { return testGrid_; }
    CGridCtrl* PointGrid() const { return pointGrid_; }

private:
    void Commit(CGridCtrl* grid, int row, int column);
    CGridCtrl* MakeGrid(int id, int label, const char* english, int rows, QLabel*& labelOut);

    CGridCtrl* testGrid_ = nullptr;
    CGridCtrl* pointGrid_ = nullptr;
};

}  // namespace rv
