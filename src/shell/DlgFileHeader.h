#pragma once
// The file dialogs of the document: Open shows the header (model, range, versions,
// signalling) and comment of the selected data file before it is opened; Save As shows the
// header that will be written and takes the file's comment. A test installs its own chooser
// in place of the dialogs.

#include <QFileDialog>
#include <optional>
#include <string>

#include "data/Document.h"

class QFormLayout;
class QLabel;
class QLineEdit;

namespace rv {

/// Where the answers of the file dialogs come from.
class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    /// A data file to open; nothing when cancelled. startPath: the document's current file.
    virtual std::optional<std::string> ChooseOpenPath(QWidget* parent,
                                                      const std::string& startPath) = 0;
    /// A path and comment to save under; nothing when cancelled.
    virtual std::optional<SaveChoice> ChooseSavePath(QWidget* parent, const std::string& startPath,
                                                     const CDataFileHeader& header,
                                                     const std::string& comment) = 0;
};

/// The chooser in use (the dialogs unless a test installed another).
IFileChooser& FileChooser();
/// Installs a chooser (nullptr restores the dialogs); returns the previous one.
IFileChooser* SetFileChooser(IFileChooser* chooser);

/// A file dialog with a panel showing a data file's header, and for Save As a comment field.
class CDlgFileHeader : public QFileDialog {
    Q_OBJECT
public:
    enum class Mode { Open, SaveAs };
    /// Filter (text 1212) and default extension (text 1211) from the language file.
    CDlgFileHeader(Mode mode, QWidget* parent = nullptr);
    /// Shows a header in the panel (Save As: the header that will be written).
    void ShowHeader(const CDataFileHeader& header, const std::string& comment);
    /// Shows the header of the file at path, or that it is not a data file.
    void ShowFileHeader(const QString& path);
    /// The comment typed in (Save As).
    std::string Comment() const;
    void SetComment(const std::string& comment);

private:
    void ClearHeader(const QString& note);

    Mode mode_;
    QLabel* modelId_ = nullptr;
    QLabel* modelName_ = nullptr;
    QLabel* range_ = nullptr;
    QLabel* radioVersion_ = nullptr;
    QLabel* dataVersion_ = nullptr;
    QLabel* signal_ = nullptr;
    QLabel* note_ = nullptr;
    QLineEdit* comment_ = nullptr;
};

}  // namespace rv
