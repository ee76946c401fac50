#pragma once
// The import screen of a channel CSV file: every row of the file with a check box (the first
// rows that fit, up to the radio's channel count, ticked; a row that does not fit greyed with
// the reason), the choice to store fitted values, a summary, and what the import of the
// ticked rows will do: every value the channel rules change, every name cut, every reference
// mended, or every problem that refuses it. Apply (only when nothing is refused) and Cancel.

#include <QDialog>
#include <string>

#include "editors/channel/ChannelCsv.h"

class QCheckBox;
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
    static constexpr int kSummaryRefused = 39773;  ///< problems
    static constexpr int kSummaryRefusedOne = 41305;  ///< one problem
    static constexpr int kReference = 40350;       ///< a reference to a removed channel, mended
    static constexpr int kRowsLabel = 41200;
    static constexpr int kTakeColumn = 41201;
    static constexpr int kLineColumn = 41202;
    static constexpr int kLocationColumn = 41203;
    static constexpr int kNameColumn = 41204;
    static constexpr int kFrequencyColumn = 41205;
    static constexpr int kModeColumn = 41206;
    static constexpr int kReasonColumn = 41207;
    static constexpr int kFitChoice = 41208;
    static constexpr int kSummaryOk = 41209;           ///< ticked, rows; no value changed
    static constexpr int kSummaryOkOneChange = 41600;  ///< ticked, rows; one value changed
    static constexpr int kSummaryOkChanges = 41601;    ///< ticked, rows, changed values
    static constexpr int kSummaryRowsRefused = 41210;  ///< problems, channels
    static constexpr int kSummaryRowsRefusedOne = 41602;  ///< one problem; channels
    static constexpr int kNotice = 41211;
    static constexpr int kSummaryNoneTicked = 41212;  ///< channels
    static constexpr int kChangesLabel = 41213;

    /// Columns of the row list.
    enum RowColumn { Take, Line, Location, Name, Frequency, Mode, Reason, kRowColumns };

    /// bytes: the CSV file's contents; file: its name, shown in the summary. The import is
    /// planned against the open configuration's channels.
    CDlgChannelImport(std::string bytes, const QString& file, QWidget* parent);

    /// What Apply imports: the plan of the ticked rows with the choice made.
    const ChannelImport& Plan() const { return plan_; }

    QTableWidget* Rows() const { return rows_; }
    QCheckBox* FitBox() const { return fit_; }
    QTableWidget* Table() const { return table_; }
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* CancelButton() const { return cancel_; }
    QLabel* Summary() const { return summary_; }

private:
    /// Fills the row list from a plan of the whole file.
    void FillRows();
    /// Greys the rows that do not fit with the current choice (unticking them).
    void UpdateRowStates();
    /// Plans the ticked rows again and shows the result.
    void Replan();

    std::string bytes_;
    QString file_;
    ChannelImport plan_;
    std::vector<CsvRow> fileRows_;
    bool filling_ = false;
    QLabel* summary_ = nullptr;
    QTableWidget* rows_ = nullptr;
    QCheckBox* fit_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace rv
