#include "service/gui/ViewTestFreq.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "base/ChoiceList.h"
#include "data/RadioData.h"
#include "service/TestFreqBlock.h"
#include "ui/FormBuilder.h"
#include "ui/GridCtrl.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// Column widths: the fixed number column and the two frequency columns.
constexpr int kNumberWidth = 35;
constexpr int kFrequencyWidth = 115;
constexpr const char* kEnglishColumns[] = {"No.", "RX Frequency[MHz]", "TX Frequency[MHz]"};

}  // namespace

CViewTestFreq::CViewTestFreq(QWidget* parent) : CCustomFormView(TestFreqText::kForm, parent)
{
    setObjectName("ViewTestFreq");
    auto* layout = new QVBoxLayout(this);
    QLabel* testLabel = nullptr;
    QLabel* pointLabel = nullptr;
    testGrid_ = MakeGrid(TestFreqText::kTestGrid, TestFreqText::kTestLabel, "Test Frequency",
                         static_cast<int>(kTestPairCount), testLabel);
    pointGrid_ = MakeGrid(TestFreqText::kPointGrid, TestFreqText::kPointLabel,
                          "Five Point Frequency", static_cast<int>(kPointCount), pointLabel);
    layout->addWidget(testLabel);
    layout->addWidget(testGrid_, 1);
    layout->addWidget(pointLabel);
    // The five points are always shown whole; the sixteen pairs scroll when room is short.
    pointGrid_->setMinimumHeight(pointGrid_->sizeHint().height());
    layout->addWidget(pointGrid_);
    TranslateDialog(this, TestFreqText::kForm);
    testGrid_->setAccessibleName(testLabel->text());
    pointGrid_->setAccessibleName(pointLabel->text());
    Reload();
}

CViewTestFreq::~CViewTestFreq()
{
    // The child window stores an open edit when it closes; a view going without its window
    // drops it, since nobody would hear the notice.
    testGrid_->CancelEdit();
    pointGrid_->CancelEdit();
}

CGridCtrl* CViewTestFreq::MakeGrid(int id, int label, const char* english, int rows,
                                   QLabel*& labelOut)
{
    labelOut = new QLabel(this);
    SetControlId(labelOut, label, QString::fromUtf8(english));
    labelOut->setText(UiText(label, english));
    auto* grid = new CGridCtrl(this);
    SetControlId(grid, id);
    grid->setObjectName(QStringLiteral("Grid%1").arg(id));
    labelOut->setBuddy(grid);

    const std::vector<std::string> headers =
        SplitChoiceNames(Settings().LoadText(TestFreqText::kColumns));
    auto header = [&](size_t c) {
        return c < headers.size() && !headers[c].empty() ? ToQ(headers[c])
                                                         : QString::fromUtf8(kEnglishColumns[c]);
    };
    grid->SetColumns({{header(0), kNumberWidth, GridCellKind::Fixed},
                      {header(1), kFrequencyWidth, GridCellKind::Frequency},
                      {header(2), kFrequencyWidth, GridCellKind::Frequency}});
    grid->SetRows(rows);
    for (int r = 0; r < rows; ++r) grid->SetCellText(r, 0, QString::number(r + 1));
    connect(grid, &CGridCtrl::cellCommitted, this,
            [this, grid](int row, int column) { Commit(grid, row, column); });
    return grid;
}

void CViewTestFreq::Reload()
{
    CTestFreqBlock& block = Radio().TestFreq();
    block.LoadTexts();
    for (size_t k = 0; k < kTestPairCount; ++k) {
        const int r = static_cast<int>(k);
        testGrid_->SetCellText(r, 1, ToQ(block.PairRxText(k)));
        testGrid_->SetCellText(r, 2, ToQ(block.PairTxText(k)));
    }
    for (size_t j = 0; j < kPointCount; ++j) {
        const int r = static_cast<int>(j);
        pointGrid_->SetCellText(r, 1, ToQ(block.PointRxText(j)));
        pointGrid_->SetCellText(r, 2, ToQ(block.PointTxText(j)));
    }
}

void CViewTestFreq::Store()
{
    // Cells are stored as they are committed; an open editor is committed now.
    if (testGrid_->OpenEditor()) testGrid_->CommitEdit();
    if (pointGrid_->OpenEditor()) pointGrid_->CommitEdit();
}

void CViewTestFreq::Commit(CGridCtrl* grid, int row, int column)
{
    if (row < 0 || column < 1 || column > 2) return;
    CTestFreqBlock& block = Radio().TestFreq();
    const size_t index = static_cast<size_t>(row);
    const TestFreqSide side = column == 1 ? TestFreqSide::Receive : TestFreqSide::Transmit;
    const bool pair = grid == testGrid_;
    const std::string& shown =
        pair ? (column == 1 ? block.PairRxText(index) : block.PairTxText(index))
             : (column == 1 ? block.PointRxText(index) : block.PointTxText(index));
    const std::string typed = FromQ(grid->CellText(row, column));
    // A cell committed as it stands is no edit: the stored value stays as it came.
    if (typed == shown) return;
    const TestFreqCommit done =
        pair ? block.CommitPairText(index, side, typed, CurrentBandLimits())
             : block.CommitPointText(index, side, typed, CurrentBandLimits());
    {
        const QSignalBlocker quiet(grid);
        grid->SetCellText(row, column, ToQ(done.text));
    }
    if (done.changed) {
        NoticeRecord notice;
        notice.sender = this;
        notice.itemTextId = static_cast<uint32_t>(ControlIdOf(grid));
        notice.code = NoticeCode::FieldCommitted;
        RaiseNotice(notice);
    }
    if (done.clamped)
        Prompt().Show(this,
                      UiMessage(TestFreqText::kClamped,
                                "The frequency is outside the band of this radio. It has been set "
                                "to the nearest band limit; check the value."),
                      CPrompt::Icon::Warning);
}

}  // namespace rv
