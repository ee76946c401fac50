#pragma once
// The log pane: what happened on the radio link and in file operations, one row per event
// with its time, the operation and its result. Newest row last; the list is kept short.

#include <QTreeWidget>

namespace rv {

class CLogPane : public QTreeWidget {
    Q_OBJECT
public:
    /// Rows kept; the oldest go first.
    static constexpr int kMaxRows = 500;

    explicit CLogPane(QWidget* parent = nullptr);
    /// Adds a row stamped with the current time.
    void AddEvent(const QString& operation, const QString& result);
    /// Column captions from the language file.
    void Retranslate();
};

}  // namespace rv
