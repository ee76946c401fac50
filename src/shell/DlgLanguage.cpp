#include "shell/DlgLanguage.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Document.h"
#include "data/RadioData.h"
#include "shell/DlgModelInfo.h"
#include "shell/QtTranslations.h"
#include "ui/GuiCommands.h"
#include "base/Settings.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace rv {

CDlgLanguage::CDlgLanguage(int currentIndex, QWidget* parent) : QDialog(parent)
{
    setObjectName("DlgLanguage");
    setWindowTitle(UiText(LanguageText::kCaption, "Language"));

    list_ = new QListWidget(this);
    list_->setObjectName("languages");
    std::vector<std::string> names = Settings().LanguageNames();
    if (names.empty()) names = Settings().FillChoiceList(LanguageText::kList);
    for (const std::string& name : names) list_->addItem(ToQ(name));
    if (currentIndex >= 0 && currentIndex < list_->count()) list_->setCurrentRow(currentIndex);
    list_->setMinimumHeight(list_->sizeHintForRow(0) * 5 + 2 * list_->frameWidth());

    auto* label = new QLabel(UiText(LanguageText::kLabel, "Language of the program:"), this);
    label->setBuddy(list_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(UiText(ShellText::kOk, "OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(UiText(ShellText::kCancel, "Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

int CDlgLanguage::SelectedIndex() const { return list_->currentRow(); }

void RunLanguage(IMainShell& shell, CQTXDoc& document)
{
    CSettings& settings = Settings();
    CDlgLanguage dialog(settings.LanguageIndex(), shell.Window());
    if (dialog.exec() != QDialog::Accepted) return;
    const int index = dialog.SelectedIndex();
    if (index < 0 || index == settings.LanguageIndex()) return;
    // The change starts again from the default set: unsaved changes are offered for saving
    // first (Save / Don't Save / Cancel, as Open does); Cancel or a failed save keeps all.
    if (!document.SaveModified().Ok()) return;
    document.LoadDefaultSet(2);
    Radio().InvalidLog().Clear();
    settings.SelectLanguage(index);
    ApplyQtTranslations();  // standard buttons and dialogs follow the language
    shell.Retranslate();
    document.UpdateTitle();
}

void RunLanguage(IMainShell& shell)
{
    RunLanguage(shell, shell.Document());
}

}  // namespace rv
