#pragma once
// Language screen: the languages named by the language file's "LanguageList". Choosing another
// one resets the data to the default set, selects the new language file and rebuilds the main
// window's menus, tree and views in it.

#include <QDialog>

class QListWidget;
class QPushButton;

namespace rv {

class CQTXDoc;
class IMainShell;

/// Text and control numbers of the Language screen.
struct LanguageText {
    static constexpr int kCaption = 1037;
    static constexpr int kLabel = 1038;
    static constexpr int kList = 1039;  ///< also the choice list used when "LanguageList" is empty
};

class CDlgLanguage : public QDialog {
    Q_OBJECT
public:
    /// Lists the languages and selects the current language index.
    explicit CDlgLanguage(int currentIndex, QWidget* parent = nullptr);
    /// Index of the selected language; -1 when none is selected.
    int SelectedIndex() const;
    QListWidget* List() const { return list_; }

private:
    QListWidget* list_ = nullptr;
};

/// The screen on a given document. A different language resets the data to the default set:
/// unsaved changes are offered for saving first (message 820, as Open asks), then the language
/// is selected and the main window retranslated.
void RunLanguage(IMainShell& shell, CQTXDoc& document);

}  // namespace rv
