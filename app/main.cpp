#include "AppDelegate.h"
#include "ViewController.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <QWindow>

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

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Names the settings file (~/.config/zev/zev.conf).
    QApplication::setOrganizationName(QStringLiteral("zev"));
    QApplication::setApplicationName(QStringLiteral("zev"));
    QApplication::setApplicationDisplayName(QStringLiteral("ZEV"));
    QApplication::setDesktopFileName(QStringLiteral("zev"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Turns a folder of transparent PNG frames into a ZEV video."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("The frame folder to show at start-up."),
                                 QStringLiteral("[folder]"));
    QCommandLineOption smokeTest(QStringLiteral("smoke-test"));
    smokeTest.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(smokeTest);
    parser.process(app);

    AppDelegate delegate;
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);

    ViewController window;
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/zev.png")));
    if (!parser.positionalArguments().isEmpty())
        window.updateDragFilePath(QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath());
    window.show();
    delegate.applicationDidFinishLaunching();
    if (parser.isSet(smokeTest))
        quitOncePainted(window);
    return app.exec();
}
