#pragma once
// Compare With of the File menu: the open configuration, as Save would write it, against a
// data file or the radio on the port, read on the spot beside it (the open configuration is
// not touched). The differences are listed field by field in a window; double-clicking a row
// opens the view on that field.

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "report/ConfigCompare.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace rv {

class CDlgTransfer;
class IMainShell;

/// Messages of the compare (texts "S01%05d").
struct CompareMessage {
    static constexpr int kEqual = 1825;  ///< the other side's name
};

/// Interface texts of the compare window (texts "S02%05d").
struct CompareText {
    static constexpr int kTitle = 40352;
    static constexpr int kFileButton = 40353;
    static constexpr int kRadioButton = 40354;
    static constexpr int kFieldColumn = 40355;
    static constexpr int kThisColumn = 40356;
    static constexpr int kOtherColumn = 40357;
    static constexpr int kSummary = 40358;  ///< %1 differences, %2 the other side
    static constexpr int kSummaryOne = 41304;  ///< one difference, %2 the other side
    static constexpr int kInstruction = 40359;
    static constexpr int kHeader = 40360;  ///< "Header" before a header line's key
    static constexpr int kByte = 40361;    ///< %1 address of a byte outside every field
    static constexpr int kOnlyHere = 40362;
    static constexpr int kOnlyThere = 40363;
    static constexpr int kTheRadio = 40364;
    static constexpr int kClose = 40365;
    static constexpr int kSummaryEqual = 40366;  ///< %1 the other side
    static constexpr int kJoined = 40367;        ///< %1 record, %2 field
};

/// Runs the transfer screen of the radio read instead of exec() (tests press its OK); returns
/// the result code. An empty function restores exec().
using CompareReadRunner = std::function<int(CDlgTransfer& dialog)>;
CompareReadRunner SetCompareReadRunner(CompareReadRunner runner);

/// The compare window: what to compare with, a summary and the differences.
class CDlgCompare : public QDialog {
    Q_OBJECT
public:
    CDlgCompare(IMainShell& shell, QWidget* parent);

    /// Reads the data file at path and lists its differences from the open configuration;
    /// false (message shown, the list as it was) when the file cannot be read.
    bool CompareWithFile(const QString& path);
    /// Reads the radio on the port through the transfer screen and lists its differences;
    /// false when the read did not happen (the transfer screen said why).
    bool CompareWithRadio();
    /// Opens the view on the field of row k of the list (nothing for a header line or a byte).
    void GoToRow(int k);

    QTreeWidget* Table() const { return table_; }
    QLabel* Summary() const { return summary_; }
    QPushButton* FileButton() const { return file_; }
    QPushButton* RadioButton() const { return radio_; }
    /// The differences listed, row by row.
    const std::vector<Difference>& Differences() const { return diffs_; }

private:
    /// The open configuration as Save would write it (open views store first).
    ConfigSnapshot Mine(bool withComment);
    /// Lists the differences from the other side, named other; says so when there are none.
    void Show(const ConfigSnapshot& mine, const ConfigSnapshot& other, const QString& name);
    void ChooseFile();
    void Log(const QString& operation, const QString& result);

    IMainShell& shell_;
    std::vector<Difference> diffs_;
    QLabel* summary_ = nullptr;
    QTreeWidget* table_ = nullptr;
    QPushButton* file_ = nullptr;
    QPushButton* radio_ = nullptr;
};

/// Opens the compare window of the main window (or brings it forward); returns it.
CDlgCompare* ShowCompareWindow(IMainShell& shell);

/// Registers Compare With with the main window's registry.
void RegisterCompareCommands();

}  // namespace rv
