#pragma once
// The data watch: the memory image as a table of 128 rows of 16 bytes, and a log of every
// byte the user's edits changed. Memory Update rebuilds the image and then asks the open view
// to compare (CompareOpenDataWatch); the view marks each changed byte green and logs it.

#include "service/DataWatch.h"
#include "ui/CustomFormView.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace rv {

class IMainShell;

class CDataWatchView : public CCustomFormView {
    Q_OBJECT
public:
    explicit CDataWatchView(QWidget* parent = nullptr);

    /// Compares the memory image (rebuilt by the caller) with the snapshot: every changed byte
    /// is shown with its new value on green and gets a log line; the last line's entry is shown.
    void Compare();
    /// Empties the log and the detail box and gives the marked cells their colour back; the
    /// snapshot stays.
    void Clear();

    QTableWidget* Table() const { return table_; }
    QListWidget* Log() const { return log_; }
    QPlainTextEdit* Detail() const { return detail_; }
    QPushButton* ClearButton() const { return clear_; }
    const CDataWatch& Watch() const { return watch_; }

private:
    void Fill();
    void ShowEntry(int line);
    void OnCellClicked(int row, int column);

    CDataWatch watch_;
    QTableWidget* table_ = nullptr;
    QListWidget* log_ = nullptr;
    QPlainTextEdit* detail_ = nullptr;
    QPushButton* clear_ = nullptr;
};

/// Memory Update's last step: when a data watch view is open, it compares the rebuilt image
/// and its window comes to the front. True when a view was open.
bool CompareOpenDataWatch(IMainShell& shell);

}  // namespace rv
