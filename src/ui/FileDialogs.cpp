#include "ui/FileDialogs.h"

#include <QAbstractItemView>
#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QScreen>
#include <QTreeView>
#include <algorithm>

namespace rv {
namespace {

QSize& RememberedSize()
{
    static QSize size;
    return size;
}

/// Height of one row of the dialog's file lists.
int ListRowHeight(const QFileDialog& dialog)
{
    int row = dialog.fontMetrics().height() + 6;
    for (const QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
        row = std::max(row, view->sizeHintForRow(0));
    return row;
}

/// "dir" may name a file: its folder is shown and the file selected, as in Qt's own helpers.
void StartAt(QFileDialog& dialog, const QString& dir)
{
    if (dir.isEmpty()) return;
    const QFileInfo info(dir);
    if (info.isDir()) {
        dialog.setDirectory(info.absoluteFilePath());
        return;
    }
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
}

QString Run(QFileDialog& dialog)
{
    const bool accepted = dialog.exec() == QDialog::Accepted;
    RememberFileDialogSize(dialog);
    if (!accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

}  // namespace

void PrepareFileDialog(QFileDialog& dialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    QSize size = RememberedSize();
    if (!size.isValid()) {
        // The list of files gets room for the rows wanted on top of what the rest of the
        // dialog (path bar, name field, buttons, any panel below) needs.
        const QSize hint = dialog.sizeHint();
        const int rows = kFileDialogRows * ListRowHeight(dialog);
        size = QSize(std::max(hint.width(), 760), hint.height() + rows);
    }
    const QScreen* screen =
        dialog.parentWidget() ? dialog.parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    dialog.resize(size.expandedTo(dialog.minimumSizeHint()));
    // The detail list gives the name what the size, type and date leave, and those columns
    // room for their whole texts.
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const QFontMetrics metrics = details->fontMetrics();
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        const QString date = QLocale::system().toString(
            QDateTime(QDate(2000, 12, 28), QTime(23, 58)), QLocale::ShortFormat);
        const int pad = 3 * metrics.averageCharWidth();
        header->resizeSection(1, metrics.horizontalAdvance(QStringLiteral("1023.9 KiB")) + pad);
        header->resizeSection(2, 16 * metrics.averageCharWidth() + pad);
        header->resizeSection(3, metrics.horizontalAdvance(date) + pad);
    }
}

void RememberFileDialogSize(const QFileDialog& dialog)
{
    RememberedSize() = dialog.size();
}

QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                        const QString& filter)
{
    QFileDialog dialog(parent, caption, QString(), filter);
    StartAt(dialog, dir);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    PrepareFileDialog(dialog);
    return Run(dialog);
}

QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                        const QString& filter)
{
    QFileDialog dialog(parent, caption, QString(), filter);
    StartAt(dialog, dir);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    PrepareFileDialog(dialog);
    return Run(dialog);
}

}  // namespace rv
