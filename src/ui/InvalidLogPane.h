#pragma once
// The invalid-log pane: the two-column list (name, message) of broken references between
// items, redrawn whenever the radio data's invalid log changes.

#include <QTreeWidget>

namespace rv {

class CInvalidLog;

class CInvalidLogPane : public QTreeWidget {
    Q_OBJECT
public:
    /// A pane bound to log: it redraws on every change of the log until it is destroyed.
    explicit CInvalidLogPane(CInvalidLog& log, QWidget* parent = nullptr);
    ~CInvalidLogPane() override;
    /// Redraws the rows from the log.
    void Refresh();
    /// Column captions from the language file.
    void Retranslate();

signals:
    /// A row was double-clicked or chosen with Enter: the key of its entry.
    void entryActivated(quint32 key);

private:
    CInvalidLog& log_;
};

}  // namespace rv
