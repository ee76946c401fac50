#include "shell/DlgFileHeader.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "base/CommandIds.h"
#include "base/Settings.h"
#include "data/DataFile.h"
#include "ui/FileDialogs.h"
#include "ui/FormBuilder.h"
#include "ui/QtText.h"

namespace rv {

namespace {

/// Name filters of text 1212 ("label|patterns|...||", patterns separated by ';').
QStringList NameFilters()
{
    QStringList filters;
    for (const auto& [label, patterns] :
         ParseFileFilter(Settings().LoadText(DocText::kFileFilter))) {
        QString p = ToQ(patterns);
        p.replace(';', ' ');
        // The label usually names its patterns already ("Data Files (*.dat)").
        filters << (ToQ(label).contains(p) ? ToQ(label) : ToQ(label) + " (" + p + ")");
    }
    if (filters.isEmpty())
        filters << "Data Files (*.dat)"
                << "All Files (*)";
    return filters;
}

/// The dialogs themselves.
class CDialogChooser : public IFileChooser {
public:
    std::optional<std::string> ChooseOpenPath(QWidget* parent,
                                              const std::string& startPath) override
    {
        CDlgFileHeader dialog(CDlgFileHeader::Mode::Open, parent);
        if (!startPath.empty()) dialog.selectFile(ToQ(startPath));
        const bool accepted = dialog.exec() == QDialog::Accepted;
        RememberFileDialogSize(dialog);
        if (!accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return FromQ(dialog.selectedFiles().first());
    }

    std::optional<SaveChoice> ChooseSavePath(QWidget* parent, const std::string& startPath,
                                             const CDataFileHeader& header,
                                             const std::string& comment) override
    {
        CDlgFileHeader dialog(CDlgFileHeader::Mode::SaveAs, parent);
        if (!startPath.empty()) dialog.selectFile(ToQ(startPath));
        dialog.ShowHeader(header, comment);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        RememberFileDialogSize(dialog);
        if (!accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return SaveChoice{FromQ(dialog.selectedFiles().first()), dialog.Comment()};
    }
};

CDialogChooser& Dialogs()
{
    static CDialogChooser dialogs;
    return dialogs;
}

IFileChooser* installed = nullptr;

QLabel* AddField(QFormLayout* form, int textId, const char* english)
{
    auto* value = new QLabel;
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(UiText(textId, english), value);
    return value;
}

}  // namespace

IFileChooser& FileChooser()
{
    return installed ? *installed : Dialogs();
}

IFileChooser* SetFileChooser(IFileChooser* chooser)
{
    IFileChooser* previous = installed;
    installed = chooser;
    return previous;
}

CDlgFileHeader::CDlgFileHeader(Mode mode, QWidget* parent) : QFileDialog(parent), mode_(mode)
{
    setObjectName(mode == Mode::Open ? "DlgFileOpen" : "DlgFileSaveAs");
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(mode == Mode::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setNameFilters(NameFilters());
    setDefaultSuffix(ToQ(TextOr(Settings().LoadText(DocText::kDefaultExtension), "dat")));
    setWindowTitle(PlainCommandText(UiText(mode == Mode::Open ? Id(Command::Open) : Id(Command::SaveAs),
                                           mode == Mode::Open ? "Open" : "Save As")));

    auto* box = new QGroupBox(UiText(ShellText::kFileInformation, "File Information"), this);
    auto* form = new QFormLayout(box);
    modelId_ = AddField(form, ShellText::kHeaderModelId, "Model ID");
    modelName_ = AddField(form, ShellText::kHeaderModelName, "Model Name");
    range_ = AddField(form, ShellText::kHeaderRange, "Frequency Range");
    radioVersion_ = AddField(form, ShellText::kHeaderRadioVersion, "Radio Version");
    dataVersion_ = AddField(form, ShellText::kHeaderDataVersion, "Data Version");
    signal_ = AddField(form, ShellText::kHeaderSignal, "Signaling Type");
    comment_ = new QLineEdit(box);
    comment_->setObjectName("Comment");
    comment_->setReadOnly(mode == Mode::Open);
    form->addRow(UiText(ShellText::kComment, "Comment"), comment_);
    note_ = new QLabel(box);
    form->addRow(note_);

    // The non-native dialog lays itself out on a grid: the panel goes below it.
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    if (mode == Mode::Open) {
        connect(this, &QFileDialog::currentChanged, this, &CDlgFileHeader::ShowFileHeader);
        ClearHeader({});
    }
    PrepareFileDialog(*this);
}

void CDlgFileHeader::ShowHeader(const CDataFileHeader& header, const std::string& comment)
{
    modelId_->setText(ToQ(header.ModelId()));
    modelName_->setText(ToQ(header.ModelName()));
    range_->setText(ToQ(RangeStatusText(header.RangeText())));
    radioVersion_->setText(ToQ(header.RadioVersion()));
    dataVersion_->setText(ToQ(header.DataVersion()));
    const std::string signal = Settings().GetChoiceText(1076, header.Signal());
    signal_->setText(signal.empty() ? QString::number(header.Signal()) : ToQ(signal));
    comment_->setText(ToQ(comment));
    note_->clear();
}

void CDlgFileHeader::ShowFileHeader(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        ClearHeader({});
        return;
    }
    const std::optional<CDataFileHeader> header = CDataFile::ReadHeader(FromQ(path));
    if (!header) {
        ClearHeader(UiText(ShellText::kNotADataFile, "Not a data file of this program."));
        return;
    }
    ShowHeader(*header, CDataFile::ReadComment(FromQ(path)));
}

std::string CDlgFileHeader::Comment() const
{
    return FromQ(comment_->text());
}

void CDlgFileHeader::SetComment(const std::string& comment)
{
    comment_->setText(ToQ(comment));
}

void CDlgFileHeader::ClearHeader(const QString& note)
{
    for (QLabel* l : {modelId_, modelName_, range_, radioVersion_, dataVersion_, signal_})
        l->clear();
    comment_->clear();
    note_->setText(note);
}

}  // namespace rv
