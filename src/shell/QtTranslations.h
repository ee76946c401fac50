#pragma once
// The toolkit's own texts (standard buttons, file, print and colour dialogs, context menus of
// text fields) in the language of the program: Qt's translation for the locale that the
// current language file names is installed, and removed again for English.

#include <QString>

namespace rv {

/// Installs Qt's translation for the current language (qtbase_<locale>.qm from Qt's
/// translations folder, or from the program directory when Qt's has none) in place of the one
/// installed before; nothing for English. False when the language names a locale whose
/// translation cannot be found: the toolkit's texts then stay English.
bool ApplyQtTranslations();
/// The translation file in use, "" when none.
QString QtTranslationFile();

}  // namespace rv
