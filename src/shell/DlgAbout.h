#pragma once
// The about box: program name, version and what the program is for.

#include <QDialog>

namespace rv {

class CDlgAbout : public QDialog {
    Q_OBJECT
public:
    /// Form number of the about box (caption text, help topic).
    static constexpr int kFormId = 100;
    explicit CDlgAbout(QWidget* parent = nullptr);
};

}  // namespace rv
