#pragma once

#include "CliProgressReporter.h"
#include "FolderOutcome.h"
#include "OutputArguments.h"
#include "session/ConversionSession.h"
#include "session/FrontEndInputs.h"
#include "session/SettingsValidator.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

class QEventLoop;
class QIODevice;

namespace zev {

// The command-line front end: the options become the inputs of the settings
// check, a conversion session runs each folder, and the outcomes become
// lines on standard output, worded exactly as the window shows them (or JSON
// objects, one per folder). The folders are converted one after another with
// the same settings; the exit status tells how it went (ExitStatus, or 128 +
// the signal that stopped it).
class CliController {
    Q_DECLARE_TR_FUNCTIONS(CliController)

public:
    enum ExitStatus : int { kSucceeded = 0, kFailed = 1, kUsageError = 2 };

    static inline const QString kProgramName = QStringLiteral("zev-cli");

    // errorIsTerminal chooses the progress display: one line rewritten in
    // place, or plain lines for pipes and log files.
    CliController(QIODevice& standardOutput, QIODevice& standardError, bool errorIsTerminal);
    ~CliController();
    CliController(const CliController&) = delete;
    CliController& operator=(const CliController&) = delete;

    // Reads the options (program name first) and, when they are usable,
    // converts every folder. Returns the process's exit status.
    int run(const QStringList& arguments);

    // Sets the inputs from the options. Returns the exit status when the
    // program has to stop here (help or version shown, usage error reported),
    // nothing when the conversions can start. Folders are made absolute and
    // clean first, so no tool ever reads one as an option or a protocol.
    std::optional<int> applyArguments(const QStringList& arguments);

    // Converts every folder in turn and reports each; after a stop signal the
    // rest are skipped.
    int convertAll();
    // Checks the settings and converts the current folder like the window's
    // start button, waiting in an event loop until the busy state is over.
    int convert();

    // The folder as the engine gets it: absolute, without "./" or a trailing
    // "/"; an empty text stays empty (the settings check refuses it).
    static QString absoluteFolder(const QString& folder);

    // SIGINT or SIGTERM arrived: stops the running conversion, which then
    // ends with the status 128 + signalNumber, as a shell reports a program
    // ended by that signal.
    void interrupt(int signalNumber);

    static QString helpText();
    // One line a target: its name and what it is for.
    static QString targetsText();

    CliProgressReporter& progress() { return progress_; }
    // The settings of the last folder accepted, and the tools they name.
    SettingsValidator& validator() { return validator_; }
    const ConversionSession& session() const { return session_; }

    QString fpsInput() const { return inputs_.fpsText; }
    double sliderInput() const { return inputs_.sliderValue; }
    QString pathInput() const { return folders_.value(0); }
    bool cacheInput() const { return inputs_.cacheTicked; }
    qint64 cacheCapInput() const { return inputs_.cacheCapBytes; }
    bool expressInput() const { return inputs_.expressTicked; }
    OutputOptions outputInput() const { return inputs_.output; }

private:
    void presentOutcome(const ConversionOutcome& outcome);
    void busyEnded();
    bool applyPreset(const QString& name);
    bool applySlider(const QString& text);
    // "2G", "500M", "500MiB", "1024" (MiB), or why it is none of those: not
    // a size, or more bytes than a 64-bit count holds (kLargestCacheCap).
    static Result<qint64> sizeInBytes(const QString& text);
    static inline const QString kLargestCacheCap = QStringLiteral("8388607T");
    int usageError(const QString& problem);
    void recordMessage(const QString& text, int status);
    void reportFolder(const FolderOutcome& outcome);
    void reportSummary(int succeeded, int failed, double seconds);
    void endIfSettled();
    void writeOut(const QString& text);
    void writeError(const QString& text);

    QIODevice& out_;
    QIODevice& err_;
    CliProgressReporter progress_;

    FrontEndInputs inputs_;
    SettingsValidator validator_;
    QStringList folders_;
    bool json_ = false;
    FolderOutcome current_;

    std::optional<int> status_;
    std::optional<int> interruptedStatus_;
    QEventLoop* waiting_ = nullptr;
    // Last: it goes first, stopping a running conversion before anything
    // its signals reach.
    ConversionSession session_;
};

} // namespace zev
