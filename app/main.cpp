#include "AppDelegate.h"
#include "PreviewController.h"
#include "ViewController.h"
#include "core/Translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <cstdio>

using namespace zev;

namespace {

// --smoke-test: quits with 0 once the window is on screen and has been
// painted, or with 1 when that has not happened within ten seconds. Lets a
// test check the program starts under a real display server.
void quitOncePainted(QWidget& window) {
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [&window]() {
        const QWindow* handle = window.windowHandle();
        if (handle && handle->isExposed()) {
            window.repaint();
            QCoreApplication::exit(0);
        }
    });
    poll->start(50);
    QTimer::singleShot(10000, &window, []() { QCoreApplication::exit(1); });
}

// --measure-playback SECONDS: once the preview plays, counts the frames it
// shows for that long, prints the rate and quits. How the preview's real-time
// playback is measured (README, "Preview").
void measurePlayback(PreviewController& preview, double seconds) {
    QObject::connect(&preview, &PreviewController::openFailed, &preview, []() { QCoreApplication::exit(1); });
    QObject::connect(&preview, &PreviewController::opened, &preview, [&preview, seconds]() {
        // The first frame needs ffmpeg's start: count from there.
        QTimer::singleShot(1000, &preview, [&preview, seconds]() {
            const qint64 before = preview.player()->framesShown();
            auto* clock = new QElapsedTimer;
            clock->start();
            QTimer::singleShot(int(seconds * 1000), Qt::PreciseTimer, &preview, [&preview, before, clock]() {
                const double elapsed = double(clock->elapsed()) / 1000.0;
                delete clock;
                const qint64 shown = preview.player()->framesShown() - before;
                std::printf("%lld frames shown in %.2f s: %.2f frames per second\n",
                            static_cast<long long>(shown), elapsed, double(shown) / elapsed);
                QCoreApplication::exit(0);
            });
        });
    });
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Names the settings file (~/.config/zev/zev.conf).
    QApplication::setOrganizationName(QStringLiteral("zev"));
    QApplication::setApplicationName(QStringLiteral("zev"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZEV"));
    QApplication::setDesktopFileName(QStringLiteral("zev"));

    // The help is read in a terminal, so it follows the locale as zev-cli's
    // does; with no Chinese asked for, nothing is installed here and the
    // window installs its Chinese itself.
    Translations::install(QLocale::system());
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Turns a folder of transparent PNG frames into a ZEV video."));
    parser.addHelpOption();
    parser.addPositionalArgument(
        QStringLiteral("folder"),
        QCoreApplication::translate("main", "The frame folder to show at start-up; several folders are "
                                            "queued and converted one after another."),
        QStringLiteral("[folder...]"));
    QCommandLineOption smokeTest(QStringLiteral("smoke-test"));
    smokeTest.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(smokeTest);
    QCommandLineOption preview(
        QStringLiteral("preview"),
        QCoreApplication::translate("main", "Plays a ZEV video in the preview window, mask and "
                                            "colour put together again over a checkerboard."),
        QStringLiteral("video"));
    parser.addOption(preview);
    QCommandLineOption measurePlaybackOption(QStringLiteral("measure-playback"), QString(),
                                             QStringLiteral("seconds"));
    measurePlaybackOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(measurePlaybackOption);
    // The compare view to start in (decoded, source, difference): lets the
    // screenshots show each.
    QCommandLineOption previewView(QStringLiteral("preview-view"), QString(), QStringLiteral("view"));
    previewView.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(previewView);
    parser.process(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zev.png")));

    if (parser.isSet(preview)) {
        // Deletes itself when closed; still there when the measurement
        // quits, it goes (and stops its decoder) before the application.
        const QPointer<PreviewController> previewWindow = new PreviewController;
        previewWindow->open(QFileInfo(parser.value(preview)).absoluteFilePath());
        previewWindow->show();
        const QStringList views{QStringLiteral("decoded"), QStringLiteral("source"),
                                QStringLiteral("difference")};
        if (const qsizetype view = views.indexOf(parser.value(previewView)); view > 0)
            QObject::connect(
                previewWindow, &PreviewController::opened, previewWindow,
                [previewWindow, view]() { previewWindow->setView(PreviewController::View(view)); });
        if (parser.isSet(measurePlaybackOption))
            measurePlayback(*previewWindow, parser.value(measurePlaybackOption).toDouble());
        const int status = app.exec();
        delete previewWindow.data();
        return status;
    }

    AppDelegate delegate;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);

    ViewController window;
    QStringList folders;
    for (const QString& folder : parser.positionalArguments())
        folders.append(QFileInfo(folder).absoluteFilePath());
    // Like a drop: one folder is shown, several are queued.
    if (!folders.isEmpty())
        window.updateDragFilePaths(folders);
    window.show();
    delegate.applicationDidFinishLaunching();
    if (parser.isSet(smokeTest))
        quitOncePainted(window);
    return app.exec();
}
