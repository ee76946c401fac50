// rvcps, the desktop program. Start-up in this order: the program directory (the program's
// own, or --home DIR), the settings and their language, the main window, the first New (the
// default set of the current model, without a question), the splash picture of the language,
// then the main window titled from the language file.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSplashScreen>
#include <QStyle>
#include <QTimer>
#include <cstdio>

#include "shell/MainFrame.h"
#include "shell/QtTranslations.h"
#include "shell/ViewRegistration.h"
#include "base/Settings.h"
#include "shell/ViewTable.h"
#include "ui/QtText.h"

namespace {

/// How long the splash picture stays when nothing is clicked.
constexpr int kSplashMilliseconds = 1500;

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("RV-205 Serial");
    QApplication::setApplicationVersion("1.0");
    QApplication::setWindowIcon(app.style()->standardIcon(QStyle::SP_ComputerIcon));

    QCommandLineParser parser;
    parser.setApplicationDescription("Programming software for the RV family of radios");
    parser.addHelpOption();
    QCommandLineOption homeOption("home", "Use DIR as the program directory.", "DIR");
    parser.addOption(homeOption);
    parser.process(app);

    QString home =
        parser.isSet(homeOption) ? parser.value(homeOption) : QApplication::applicationDirPath();
    home = QDir(home).absolutePath();
    if (!QFileInfo(home).isDir()) {
        std::fprintf(stderr, "rvcps: %s is not a directory\n", qPrintable(home));
        return 2;
    }
    rv::Settings().Init(rv::FromQ(home) + "/");
    rv::ApplyQtTranslations();

    rv::RegisterViews();
    rv::CMainFrame frame;
    frame.StartUp();  // the first New asks nothing

    const QString splashPath =
        rv::ToQ(rv::Settings().ProgramDir() + rv::SplashFileName(rv::Settings().LanguageIndex()));
    QPixmap picture(splashPath);
    if (picture.isNull()) {
        frame.show();
    } else {
        auto* splash = new QSplashScreen(picture);
        splash->setAttribute(Qt::WA_DeleteOnClose);
        splash->show();
        QTimer::singleShot(kSplashMilliseconds, &frame, [&frame, splash] {
            frame.show();
            splash->finish(&frame);
        });
    }
    return app.exec();
}
