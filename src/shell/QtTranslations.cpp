#include "shell/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

#include "base/Settings.h"
#include "ui/QtText.h"

namespace rv {

namespace {

QPointer<QTranslator> installed;
QString installedFile;

}  // namespace

bool ApplyQtTranslations()
{
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installedFile.clear();
    }
    const QString locale = ToQ(Settings().Locale());
    if (locale.isEmpty()) return true;

    auto* translator = new QTranslator(QCoreApplication::instance());
    const QString name = QStringLiteral("qtbase_") + locale;
    for (const QString& folder :
         {QLibraryInfo::path(QLibraryInfo::TranslationsPath), ToQ(Settings().ProgramDir())}) {
        if (translator->load(name, folder)) {
            QCoreApplication::installTranslator(translator);
            installed = translator;
            installedFile = translator->filePath();
            return true;
        }
    }
    delete translator;
    return false;
}

QString QtTranslationFile()
{
    return installedFile;
}

}  // namespace rv
