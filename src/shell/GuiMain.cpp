// rvcps, the desktop program. Start-up in this order: the program directory (the program's
// own, or --home DIR; installed, the shared resources and the user's own settings), the
// settings and their language, the main window, the first New (the default set of the
// current model, without a question); then the main window is shown at once, the picture of
// the language is drawn over it for a short moment, and the start-up notices follow. The help
// file is read only when help is first asked for.
//
// With RVCPS_STARTUP_REPORT set, the program writes "rvcps: window exposed" to stderr when
// the main window is first on screen and "rvcps: ready" when start-up is over; with the value
// "quit" it then ends. The start-up benchmark reads these lines.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "RvVersion.h"
#include "base/Settings.h"
#include "shell/MainFrame.h"
#include "shell/QtTranslations.h"
#include "shell/StartSplash.h"
#include "shell/ViewRegistration.h"
#include "shell/ViewTable.h"
#include "ui/QtText.h"

namespace {

/// Writes the start-up marks of RVCPS_STARTUP_REPORT: one line when the window is first
/// exposed (after its first paint), one when start-up is over.
class CStartUpReport : public QObject {
public:
    explicit CStartUpReport(QWidget* window) : window_(window)
    {
        window_->winId();  // makes the native window, whose expose event is watched
        window_->windowHandle()->installEventFilter(this);
    }
    static void Mark(const char* what)
    {
        std::fprintf(stderr, "rvcps: %s\n", what);
        std::fflush(stderr);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && window_->windowHandle()->isExposed()) {
            watched->removeEventFilter(this);
            // Queued: it runs after the expose event is handled, that is after the first paint.
            QMetaObject::invokeMethod(
                this, [] { Mark("window exposed"); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* window_;
};

}  // namespace

int main(int argc, char** argv)
{
    // The version is told before the toolkit starts, so that it needs no display.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("rvcps %s\n", RV_VERSION_TEXT);
            return 0;
        }
    }

    QApplication app(argc, argv);
    // The name that assistive tools and the desktop give the program.
    QApplication::setApplicationName("rvcps");
    QApplication::setApplicationVersion(RV_VERSION_TEXT);
    // The desktop entry names the window's program on desktops that ask for it (Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.rvcps.rvcps"));
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("rvcps"), app.style()->standardIcon(QStyle::SP_ComputerIcon)));

    QCommandLineParser parser;
    parser.setApplicationDescription("Programming software for the RV family of radios");
    parser.addHelpOption();
    QCommandLineOption versionOption("version", "Show the program version.");
    parser.addOption(versionOption);
    QCommandLineOption homeOption("home", "Use DIR as the program directory.", "DIR");
    parser.addOption(homeOption);
    parser.process(app);

    // --home names a program directory; without it the program's own folder is one (a build
    // folder), or the program is installed and finds its shared resources from there.
    if (parser.isSet(homeOption)) {
        const QString home = QDir(parser.value(homeOption)).absolutePath();
        if (!QFileInfo(home).isDir()) {
            std::fprintf(stderr, "rvcps: %s is not a directory\n", qPrintable(home));
            return 2;
        }
        rv::Settings().Init(rv::FromQ(home) + "/");
    } else {
        rv::Settings().Init(
            rv::LocateProgramPaths(rv::FromQ(QApplication::applicationDirPath()) + "/"));
    }
    rv::ApplyQtTranslations();

    rv::RegisterViews();
    rv::CMainFrame frame;
    frame.StartUp();  // the first New asks nothing

    const char* report = std::getenv("RVCPS_STARTUP_REPORT");
    std::unique_ptr<CStartUpReport> reporter;
    if (report) reporter = std::make_unique<CStartUpReport>(&frame);
    // The first window stays inside the screen's work area on a small screen (1024 x 768
    // with a panel), where its usual size would reach past the edges.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        frame.resize(frame.size().boundedTo(screen->availableGeometry().size()));
    frame.show();

    // After the first paint: the picture over the window, then the notices (the picture goes
    // when the first of them is shown), then the end of start-up.
    QTimer::singleShot(0, &frame, [&frame, report] {
        const QString splashPath = rv::ToQ(rv::Settings().ProgramDir() +
                                           rv::SplashFileName(rv::Settings().LanguageIndex()));
        rv::CStartSplash::ShowOver(&frame, QPixmap(splashPath));
        frame.ShowStartUpNotices();
        if (report) {
            CStartUpReport::Mark("ready");
            if (std::strcmp(report, "quit") == 0) QTimer::singleShot(0, qApp, &QApplication::quit);
        }
    });
    return app.exec();
}
