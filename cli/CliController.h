#pragma once

#include "CliProgressReporter.h"
#include "FolderOutcome.h"
#include "session/ConversionController.h"

#include <QString>
#include <QStringList>
#include <optional>

class QEventLoop;
class QIODevice;

// The command-line front end: the options stand in for the window's inputs,
// and the alerts become lines on standard output, worded exactly as the
// window shows them (or JSON objects, one per folder). The folders are
// converted one after another with the same settings; the exit status tells
// how it went (ExitStatus, or 128 + the signal that stopped it).
class CliController : public ConversionController {
public:
    enum ExitStatus : int { kSucceeded = 0, kFailed = 1, kUsageError = 2 };

    static inline const QString kProgramName = QStringLiteral("zev-cli");

    // errorIsTerminal chooses the progress display: one line rewritten in
    // place, or plain lines for pipes and log files.
    CliController(QIODevice& standardOutput, QIODevice& standardError, bool errorIsTerminal);
    ~CliController() override;

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
    // Starts one conversion like the window's start button and waits, in an
    // event loop, until it has ended and the busy state is over.
    int convert();

    // The folder as the engine gets it: absolute, without "./" or a trailing
    // "/"; an empty text stays empty (the settings check refuses it).
    static QString absoluteFolder(const QString& folder);

    // SIGINT or SIGTERM arrived: stops the running conversion, which then
    // ends with the status 128 + signalNumber, as a shell reports a program
    // ended by that signal.
    void interrupt(int signalNumber);

    static QString helpText();

    CliProgressReporter& progress() { return progress_; }

    QString fpsInput() const { return fps_; }
    double sliderInput() const { return slider_; }
    QString pathInput() const { return folders_.value(0); }
    bool cacheInput() const { return cache_; }
    bool expressInput() const { return express_; }

protected:
    QString fpsText() const override { return fps_; }
    double sliderValue() const override { return slider_; }
    void setSliderValue(double value) override { slider_ = value; }
    QString pathText() const override { return path_; }
    bool cacheCheckboxTicked() const override { return cache_; }
    void enableCacheCheckbox() override {}
    bool expressCheckboxTicked() const override { return express_; }
    void presentBusyState(bool inConverting) override;
    void showAlertWithErrorMessage(const QString& message) override;
    void showConvertSuccessAlertWithPath(const QString& path) override;
    void presentProgress(const ConversionProgress& progress) override;
    void presentOutcome(const ConversionOutcome& outcome) override;

private:
    bool applyPreset(const QString& name);
    bool applySlider(const QString& text);
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

    QString fps_ = QStringLiteral("20");
    double slider_ = 0.0;
    QString path_;
    QStringList folders_;
    bool cache_ = false;
    bool json_ = false;
    FolderOutcome current_;
    bool express_ = false;

    std::optional<int> status_;
    std::optional<int> interruptedStatus_;
    QEventLoop* waiting_ = nullptr;
};
