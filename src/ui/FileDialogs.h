#pragma once
// The program's file dialogs: every Open, Save, Export, Import, Compare and PDF dialog is the
// program's own (not the desktop's), opens at a size that shows a good number of files, and
// comes back at the size the user last gave it in this session.

#include <QFileDialog>
#include <QString>

namespace rv {

/// Rows of files a file dialog shows at least when it opens (the screen permitting).
inline constexpr int kFileDialogRows = 10;

/// Sets up a file dialog before it is shown: the program's own dialog, at the size last used
/// (or one showing at least kFileDialogRows files), within the screen.
void PrepareFileDialog(QFileDialog& dialog);
/// Remembers the dialog's size for the next file dialog; called as it closes.
void RememberFileDialogSize(const QFileDialog& dialog);

/// Open and Save dialogs set up as above; an empty string when cancelled.
QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                        const QString& filter);
QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                        const QString& filter);

}  // namespace rv
