#pragma once
// The start-up picture: drawn over the middle of the main window, which is already shown and
// takes input while the picture is up. It goes after a short time, at the first click or key
// anywhere in the program, and as soon as any other window (a start-up notice, a dialog a
// shortcut opened) is shown, so it never hides what the user must read or answer.

#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QTimer>

namespace rv {

class CStartSplash : public QLabel {
    Q_OBJECT
public:
    /// Interface text: the accessible name of the picture.
    static constexpr int kAccessibleNameText = 40420;
    /// How long the picture stays when nothing is clicked or typed.
    static constexpr int kMilliseconds = 1500;

    /// Shows the picture over window; nullptr (and nothing shown) when the picture cannot be
    /// read. The picture deletes itself when it goes.
    static CStartSplash* ShowOver(QWidget* window, const QPixmap& picture,
                                  int milliseconds = kMilliseconds);

    /// Takes the picture away (it is deleted later).
    void Dismiss();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CStartSplash(QWidget* window, const QPixmap& picture, int milliseconds);
    /// Centres the picture in the window, scaled down when the window is smaller.
    void Place();

    QPixmap picture_;
    QTimer timer_;
    bool dismissed_ = false;
};

}  // namespace rv
