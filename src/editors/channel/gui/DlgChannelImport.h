#pragma once
// The preview of a channel import: a summary, then every value the channel rules changed and
// every row refused, each with its row and column; Apply (only when nothing was refused) and
// Cancel.

#include <QDialog>

#include "editors/channel/ChannelCsv.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace rv {

class CDlgChannelImport : public QDialog {
    Q_OBJECT
public:
    /// Text numbers of the screen.
    static constexpr int kTitle = 39765;
    static constexpr int kApply = 39766;
    static constexpr int kResultColumn = 39768;
    static constexpr int kDetailsColumn = 39769;
    static constexpr int kChanged = 39770;
    static constexpr int kRefused = 39771;
    static constexpr int kSummaryOk = 39772;       ///< rows, fitted values
    static constexpr int kSummaryRefused = 39773;  ///< problems
    static constexpr int kSummaryRefusedOne = 41305;  ///< one problem
    static constexpr int kReference = 40350;       ///< a reference to a removed channel, mended

    /// plan: what the import will do; file: the CSV file's name, shown in the summary.
    CDlgChannelImport(const ChannelImport& plan, const QString& file, QWidget* parent);

    QTableWidget* Table() const { return table_; }
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* CancelButton() const { return cancel_; }
    QLabel* Summary() const { return summary_; }

private:
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace rv
