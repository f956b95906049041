#include "CliController.h"
#include "CliMediaCommands.h"
#include "StopSignalWatcher.h"
#include "core/Translations.h"
#include "preview/StagedTools.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <unistd.h>

using namespace zev;

namespace {

CliProgressReporter* logDisplay = nullptr;

// Log lines go through the progress display, so they never tear its line.
// The empty entry the tool runner logs after a tool wrote to its error
// stream says nothing on a command line and is left out.
void showLogLine(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (text.isEmpty())
        return;
    if (logDisplay)
        logDisplay->showLog(text);
    else
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(CliController::kProgramName);
    // Chinese under a Chinese locale (LANG=zh_CN.UTF-8), English otherwise;
    // the fixed messages are the same in every locale.
    Translations::install(QLocale::system());

    // Unbuffered, so that messages and progress lines keep their order and
    // nothing is lost when Ctrl-C ends the program.
    QFile standardOutput;
    QFile standardError;
    standardOutput.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    standardError.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);

    if (CliMediaCommands::handles(QCoreApplication::arguments())) {
        CliMediaCommands media(standardOutput, standardError,
                               {StagedTools::ffprobe(), StagedTools::ffmpeg()});
        StopSignalWatcher stopSignals;
        QObject::connect(&stopSignals, &StopSignalWatcher::stopRequested, &application,
                         [&media](int signalNumber) { media.interrupt(signalNumber); });
        return media.run(QCoreApplication::arguments());
    }

    CliController cli(standardOutput, standardError, isatty(STDERR_FILENO) == 1);
    StopSignalWatcher stopSignals;
    QObject::connect(&stopSignals, &StopSignalWatcher::stopRequested, &application,
                     [&cli](int signalNumber) { cli.interrupt(signalNumber); });
    logDisplay = &cli.progress();
    qInstallMessageHandler(showLogLine);
    const int status = cli.run(QCoreApplication::arguments());
    logDisplay = nullptr;
    return status;
}
