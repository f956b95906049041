#include "CliController.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QIODevice>

namespace {

struct Preset {
    QString name;
    QString title; // the preset button's title in the window
    void (ConversionController::*select)();
};

const Preset kPresets[] = {
    {QStringLiteral("high"), QStringLiteral("高"), &ConversionController::lowBtnClicked},
    {QStringLiteral("super"), QStringLiteral("超高"), &ConversionController::highBtnClicked},
    {QStringLiteral("best"), QStringLiteral("最佳"), &ConversionController::veryHighBtnClicked},
};

} // namespace

CliController::CliController(QIODevice& standardOutput, QIODevice& standardError, bool errorIsTerminal)
    : out_(standardOutput)
    , err_(standardError)
    , progress_(standardError, errorIsTerminal) {
    // Like the window at start-up: the first preset is selected.
    lowBtnClicked();
}

CliController::~CliController() = default;

int CliController::run(const QStringList& arguments) {
    if (const std::optional<int> stop = applyArguments(arguments))
        return *stop;
    return convert();
}

std::optional<int> CliController::applyArguments(const QStringList& arguments) {
    const QCommandLineOption fps({QStringLiteral("f"), QStringLiteral("fps")}, QString(),
                                 QStringLiteral("TEXT"));
    const QCommandLineOption preset({QStringLiteral("p"), QStringLiteral("preset")}, QString(),
                                    QStringLiteral("NAME"));
    const QCommandLineOption slider({QStringLiteral("s"), QStringLiteral("slider")}, QString(),
                                    QStringLiteral("VALUE"));
    const QCommandLineOption cache({QStringLiteral("c"), QStringLiteral("cache")}, QString());
    const QCommandLineOption express({QStringLiteral("e"), QStringLiteral("express")}, QString());
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());

    QCommandLineParser parser;
    parser.addOptions({fps, preset, slider, cache, express, help, version});
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        writeOut(helpText());
        return kSucceeded;
    }
    if (parser.isSet(version)) {
        writeOut(kProgramName + QStringLiteral(" " ZEV_VERSION "\n"));
        return kSucceeded;
    }

    const QStringList folders = parser.positionalArguments();
    if (folders.isEmpty())
        return usageError(QStringLiteral("missing the frame folder"));
    if (folders.size() > 1)
        return usageError(QStringLiteral("expected one frame folder, got %1").arg(folders.size()));
    if (parser.isSet(preset) && parser.isSet(slider))
        return usageError(QStringLiteral("choose either --preset or --slider, not both"));
    if (parser.isSet(cache) && parser.isSet(express))
        return usageError(QStringLiteral("--cache has no meaning with --express: choose one"));
    if (parser.isSet(preset) && !applyPreset(parser.value(preset)))
        return kUsageError;
    if (parser.isSet(slider) && !applySlider(parser.value(slider)))
        return kUsageError;

    // The frame-rate text and the folder go to the validation unchanged, so
    // a bad value gets the same message as in the window.
    if (parser.isSet(fps))
        fps_ = parser.value(fps);
    path_ = folders.constFirst();
    cache_ = parser.isSet(cache);
    express_ = parser.isSet(express);
    return std::nullopt;
}

int CliController::convert() {
    status_.reset();
    interruptedStatus_.reset();
    convertBtnClicked();
    if (!inConverting()) {
        // Refused by the settings check: its message is out already.
        if (status_)
            return *status_;
        writeError(kProgramName + QStringLiteral(": the conversion did not start\n"));
        return kFailed;
    }
    QEventLoop loop;
    waiting_ = &loop;
    const int status = loop.exec();
    waiting_ = nullptr;
    return status;
}

void CliController::interrupt(int signalNumber) {
    if (!interruptedStatus_)
        interruptedStatus_ = 128 + signalNumber;
    cancelConversion();
}

QString CliController::helpText() {
    return QStringLiteral(
        "Usage: zev-cli [options] FOLDER\n"
        "\n"
        "Turns FOLDER, a folder of transparent PNG frames named 0.png, 1.png, 2.png ...,\n"
        "into the video FOLDER/output/zev.mp4 (H.264): every video frame shows the frame's\n"
        "transparency as a grey mask on the left and its colour on black on the right.\n"
        "Other files in FOLDER are ignored.\n"
        "\n"
        "Options:\n"
        "  -f, --fps TEXT       frames per second of the animation, 1 to 59 (default 20)\n"
        "  -p, --preset NAME    quality preset (default high):\n"
        "                         high  (高)    1100 kbit/s\n"
        "                         super (超高)  2100 kbit/s\n"
        "                         best  (最佳)  3100 kbit/s\n"
        "  -s, --slider VALUE   rate slider position from 0.0 to 1.0 instead of a preset;\n"
        "                       the bitrate is 100 + 4000 x VALUE kbit/s\n"
        "  -c, --cache          skip the image work and re-encode the packed frames kept\n"
        "                       from the last full run, with the new frame rate and\n"
        "                       bitrate; refused when that run was of another folder\n"
        "  -e, --express        express conversion: one FFmpeg run straight from the\n"
        "                       frames to the same video, many times faster, with no\n"
        "                       intermediate images (and so nothing for --cache)\n"
        "  -h, --help           show this help and exit\n"
        "  -v, --version        show the version and exit\n"
        "\n"
        "Progress goes to standard error: one line kept up to date on a terminal, plain\n"
        "lines at most once a second otherwise, such as\n"
        "\"packing 120/480 frames, 41%, 2m 10s left\". The outcome goes to standard output,\n"
        "worded as the desktop window words it: one error message, or\n"
        "\"视频已经生成, 视频路径：<output folder>\" after a success.\n"
        "\n"
        "Ctrl-C (SIGINT) or SIGTERM stops the conversion within a second: the tools it\n"
        "started are stopped, no partly written video is left behind, and the next run\n"
        "can start at once.\n"
        "\n"
        "Exit status:\n"
        "  0  the video was written\n"
        "  1  the settings or the frames were refused, or the conversion failed; the\n"
        "     message says why\n"
        "  2  usage error: unknown option, missing folder, bad preset or slider value,\n"
        "     --cache with --express\n"
        "  130, 143  stopped by SIGINT (Ctrl-C) or SIGTERM\n");
}

void CliController::presentBusyState(bool inConverting) {
    if (inConverting)
        return;
    progress_.finish();
    endIfSettled();
}

void CliController::showAlertWithErrorMessage(const QString& message) {
    printMessage(message, kFailed);
}

void CliController::showConvertSuccessAlertWithPath(const QString& path) {
    printMessage(kSuccessFormat.arg(path), kSucceeded);
}

void CliController::presentProgress(const ConversionProgress& progress) {
    progress_.show(progress);
}

void CliController::presentOutcome(const ConversionOutcome& outcome) {
    if (!outcome.wasCancelled()) {
        ConversionController::presentOutcome(outcome);
        return;
    }
    progress_.finish();
    writeError(kProgramName + QStringLiteral(": cancelled; no video was written\n"));
    status_ = interruptedStatus_.value_or(kFailed);
}

bool CliController::applyPreset(const QString& name) {
    for (const Preset& preset : kPresets) {
        if (name.compare(preset.name, Qt::CaseInsensitive) == 0 || name == preset.title) {
            (this->*preset.select)();
            return true;
        }
    }
    usageError(QStringLiteral("unknown preset '%1' (use high, super or best)").arg(name));
    return false;
}

bool CliController::applySlider(const QString& text) {
    bool isNumber = false;
    const double value = text.trimmed().toDouble(&isNumber);
    // Written so that NaN fails too.
    if (!isNumber || !(value >= 0.0 && value <= 1.0)) {
        usageError(QStringLiteral("the slider value must be a number from 0.0 to 1.0, not '%1'").arg(text));
        return false;
    }
    setSliderValue(value);
    return true;
}

int CliController::usageError(const QString& problem) {
    writeError(QStringLiteral("%1: %2\nTry '%1 --help' for more information.\n").arg(kProgramName, problem));
    return kUsageError;
}

void CliController::printMessage(const QString& text, int status) {
    progress_.finish();
    writeOut(text + QLatin1Char('\n'));
    // A failure is never hidden by a later message.
    if (!status_ || *status_ == kSucceeded)
        status_ = status;
}

// The run is over once its message is out and the busy state has ended (a
// refused validation never enters it).
void CliController::endIfSettled() {
    if (!waiting_ || inConverting())
        return;
    if (!status_) {
        writeError(kProgramName + QStringLiteral(": the conversion ended without a message\n"));
        status_ = kFailed;
    }
    waiting_->exit(*status_);
}

void CliController::writeOut(const QString& text) {
    out_.write(text.toUtf8());
}

void CliController::writeError(const QString& text) {
    err_.write(text.toUtf8());
}
