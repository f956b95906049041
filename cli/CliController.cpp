#include "CliController.h"

#include "CliMediaCommands.h"
#include "core/UserTexts.h"
#include "output/PlayerTargets.h"
#include "tools/MediaSource.h"
#include "tools/VideoEncoder.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QJsonDocument>
#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace zev {

namespace {

struct Preset {
    QString name;
    QString title; // the preset button's title in the window
    double sliderValue;
};

const Preset kPresets[] = {
    {QStringLiteral("high"), QStringLiteral("高"), SettingsValidator::kLowPreset},
    {QStringLiteral("super"), QStringLiteral("超高"), SettingsValidator::kHighPreset},
    {QStringLiteral("best"), QStringLiteral("最佳"), SettingsValidator::kVeryHighPreset},
};

} // namespace

CliController::CliController(QIODevice& standardOutput, QIODevice& standardError, bool errorIsTerminal)
    : out_(standardOutput)
    , err_(standardError)
    , progress_(standardError, errorIsTerminal) {
    // Like the window at start-up: the first preset is selected.
    inputs_.sliderValue = SettingsValidator::kLowPreset;
    QObject::connect(&session_, &ConversionSession::progressChanged, &session_,
                     [this](const ConversionProgress& progress) { progress_.show(progress); });
    QObject::connect(&session_, &ConversionSession::outcomeReady, &session_,
                     [this](const ConversionOutcome& outcome) { presentOutcome(outcome); });
    QObject::connect(&session_, &ConversionSession::busyChanged, &session_, [this](bool inConverting) {
        if (!inConverting)
            busyEnded();
    });
}

CliController::~CliController() = default;

int CliController::run(const QStringList& arguments) {
    if (const std::optional<int> stop = applyArguments(arguments))
        return *stop;
    return convertAll();
}

std::optional<int> CliController::applyArguments(const QStringList& arguments) {
    const QCommandLineOption fps({QStringLiteral("f"), QStringLiteral("fps")}, QString(),
                                 QStringLiteral("TEXT"));
    const QCommandLineOption preset({QStringLiteral("p"), QStringLiteral("preset")}, QString(),
                                    QStringLiteral("NAME"));
    const QCommandLineOption slider({QStringLiteral("s"), QStringLiteral("slider")}, QString(),
                                    QStringLiteral("VALUE"));
    const QCommandLineOption cache({QStringLiteral("c"), QStringLiteral("cache")}, QString());
    const QCommandLineOption json(QStringLiteral("json"), QString());
    const QCommandLineOption cacheCap(QStringLiteral("cache-cap"), QString(), QStringLiteral("SIZE"));
    const QCommandLineOption express({QStringLiteral("e"), QStringLiteral("express")}, QString());
    const QCommandLineOption sourceAlpha(QStringLiteral("source-alpha"), QString(), QStringLiteral("KIND"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption targets(QStringLiteral("targets"), QString());

    const OutputArguments outputArguments;

    QCommandLineParser parser;
    parser.addOptions(
        {fps, preset, slider, cache, cacheCap, express, sourceAlpha, json, help, version, targets});
    parser.addOptions(outputArguments.options());
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help)) {
        writeOut(helpText());
        return kSucceeded;
    }
    if (parser.isSet(targets)) {
        writeOut(targetsText());
        return kSucceeded;
    }
    if (parser.isSet(version)) {
        writeOut(kProgramName + QStringLiteral(" " ZEV_VERSION "\n"));
        return kSucceeded;
    }

    const QStringList folders = parser.positionalArguments();
    if (folders.isEmpty())
        return usageError(tr("missing the frame folder"));
    // Videos and animated images always go through the express conversion,
    // so its options need no --express for them.
    const bool allMedia = std::all_of(folders.begin(), folders.end(), [](const QString& source) {
        return MediaSource::isCandidate(absoluteFolder(source));
    });
    if (parser.isSet(cache) && allMedia)
        return usageError(tr("--cache has no meaning for a video or animated image"));
    if (parser.isSet(sourceAlpha)) {
        const QString kind = parser.value(sourceAlpha).toLower();
        if (kind != QLatin1String("straight") && kind != QLatin1String("premultiplied"))
            return usageError(tr("--source-alpha takes straight or premultiplied, not \"%1\"")
                                  .arg(parser.value(sourceAlpha)));
        inputs_.sourcePremultiplied = kind == QLatin1String("premultiplied");
    }
    // The packed frames kept are those of one folder.
    if (parser.isSet(cache) && folders.size() > 1)
        return usageError(tr("--cache takes one folder, the one converted last, not %1").arg(folders.size()));
    if (parser.isSet(preset) && parser.isSet(slider))
        return usageError(tr("choose either --preset or --slider, not both"));
    if (parser.isSet(cache) && parser.isSet(express))
        return usageError(tr("--cache has no meaning with --express: choose one"));
    const Result<OutputOptions> output = outputArguments.read(parser, parser.isSet(express) || allMedia,
                                                              parser.isSet(preset) || parser.isSet(slider));
    if (!output)
        return usageError(output.reason());
    if (parser.isSet(preset) && !applyPreset(parser.value(preset)))
        return kUsageError;
    if (parser.isSet(slider) && !applySlider(parser.value(slider)))
        return kUsageError;
    if (parser.isSet(cacheCap)) {
        const Result<qint64> bytes = sizeInBytes(parser.value(cacheCap));
        if (!bytes)
            return usageError(bytes.reason());
        inputs_.cacheCapBytes = *bytes;
    }

    // The frame-rate text and the folder go to the validation unchanged, so
    // a bad value gets the same message as in the window.
    inputs_.fpsTyped = parser.isSet(fps);
    if (parser.isSet(fps))
        inputs_.fpsText = parser.value(fps);
    folders_.clear();
    for (const QString& folder : folders)
        folders_.append(absoluteFolder(folder));
    inputs_.cacheTicked = parser.isSet(cache);
    inputs_.expressTicked = parser.isSet(express);
    json_ = parser.isSet(json);
    inputs_.output = *output;
    return std::nullopt;
}

Result<qint64> CliController::sizeInBytes(const QString& text) {
    static const QRegularExpression size(QStringLiteral("^([0-9]{1,9})([KMGT]?)(i?B)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = size.match(text.trimmed());
    if (!match.hasMatch())
        return Result<qint64>::failure(
            tr("--cache-cap takes a size such as 500M or 2G, not \"%1\"").arg(text));
    // A bare number counts in MiB, as the window's setting does.
    static const QString units = QStringLiteral("KMGT");
    const QString unit = match.captured(2).toUpper();
    const int shift = unit.isEmpty() ? 20 : 10 * (int(units.indexOf(unit)) + 1);
    const qint64 count = match.captured(1).toLongLong();
    // Shifted beyond 63 bits, the cap would wrap round to a negative or
    // small one, and prune() would remove every other folder's cache.
    if (count > (std::numeric_limits<qint64>::max() >> shift))
        return Result<qint64>::failure(
            tr("--cache-cap takes at most %1, not \"%2\"").arg(kLargestCacheCap, text));
    return count << shift;
}

QString CliController::absoluteFolder(const QString& folder) {
    if (folder.isEmpty())
        return folder;
    return QDir::cleanPath(QDir::current().absoluteFilePath(folder));
}

int CliController::convertAll() {
    QElapsedTimer allClock;
    allClock.start();
    int succeeded = 0;
    int failed = 0;
    for (const QString& folder : std::as_const(folders_)) {
        if (interruptedStatus_)
            break;
        current_ = FolderOutcome();
        current_.folder = folder;
        inputs_.folderText = folder;
        QElapsedTimer clock;
        clock.start();
        const int status = convert();
        current_.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
        reportFolder(current_);
        ++(status == kSucceeded ? succeeded : failed);
    }
    if (folders_.size() > 1)
        reportSummary(succeeded, failed, static_cast<double>(allClock.elapsed()) / 1000.0);
    if (interruptedStatus_)
        return *interruptedStatus_;
    return failed > 0 ? kFailed : kSucceeded;
}

int CliController::convert() {
    status_.reset();
    const Result<ConversionSettings> settings = validator_.validate(inputs_);
    if (!settings) {
        recordMessage(settings.reason(), kFailed);
        return kFailed;
    }
    if (!session_.start(*settings)) {
        writeError(QStringLiteral("%1: %2\n").arg(kProgramName, tr("the conversion did not start")));
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
    session_.cancel();
}

QString CliController::targetsText() {
    QString text;
    for (const PlayerTarget& target : PlayerTargets::all())
        text += QStringLiteral("%1  %2\n").arg(target.name, -15).arg(target.title());
    return text;
}

// The preset titles and the success message are the window's own words and
// reach the help unchanged, in every language.
QString CliController::helpText() {
    return tr("Usage: zev-cli [options] FOLDER...\n") + tr("       zev-cli [options] FILE...\n") +
           CliMediaCommands::usageLines() +
           tr("\n"
              "Turns each FOLDER, a folder of transparent PNG frames named 0.png, 1.png,\n"
              "2.png ..., into the video FOLDER/output/zev.mp4 (H.264; with --express, other\n"
              "codecs and FOLDER/output/zev.webm on request): every video frame shows\n"
              "the frame's transparency as a grey mask on the left and its colour on black on\n"
              "the right. Other files in FOLDER are ignored. Several folders are converted one\n"
              "after another with the same settings.\n"
              "\n"
              "Options:\n"
              "  -f, --fps TEXT       frames per second of the animation, 1 to 59 (default 20)\n"
              "  -p, --preset NAME    quality preset: high (%1, 1100 kbit/s, the default),\n"
              "                       super (%2, 2100 kbit/s) or best (%3, 3100 kbit/s)\n"
              "  -s, --slider VALUE   rate slider position from 0.0 to 1.0 instead of a preset;\n"
              "                       the bitrate is 100 + 4000 x VALUE kbit/s\n"
              "  -c, --cache          skip the image work and re-encode the packed frames kept\n"
              "                       from the folder's last full run (in\n"
              "                       $XDG_CACHE_HOME/zev, ~/.cache/zev), with the new frame\n"
              "                       rate and bitrate; one folder only\n"
              "      --cache-cap SIZE how much the packed frames kept for --cache may take,\n"
              "                       all folders together (default 2G; K, M, G or T, a bare\n"
              "                       number is in M; at most 8388607T, larger sizes are\n"
              "                       refused); the least recently used go first\n"
              "  -e, --express        express conversion: one FFmpeg run straight from the\n"
              "                       frames to the same video, many times faster, with no\n"
              "                       intermediate images (and so nothing for --cache)\n"

              "      --json           print one JSON object per folder instead of the texts:\n"
              "                       folder, ok, message, reason, video, frames, seconds,\n"
              "                       width, height, level (the level of the video's codec),\n"
              "                       warning, bitrate when read back, and rateChoice\n"
              "                       with --max-size or --quality (goal, budget or\n"
              "                       target, setting, bytes, mask and colour, trials)\n"
              "      --targets        list the target players, one a line, and exit\n"
              "  -h, --help           show this help and exit\n"
              "  -v, --version        show the version and exit\n"
              "\n")
               .arg(kPresets[0].title, kPresets[1].title, kPresets[2].title) +
           mediaHelpText() + OutputArguments::helpText() +
           tr("\n"
              "Output: for each folder, the outcome goes to standard output, worded as the\n"
              "desktop window words it (one error message, or \"%1\"\n"
              "after a success); why it failed, and warnings, go to standard error.\n"
              "Progress goes to standard error too: one line kept up to date on a terminal,\n"
              "plain lines at most once a second otherwise, such as \"packing 120/480 frames,\n"
              "41%, 2m 10s left\". After several folders, a summary line follows there. Each\n"
              "run is logged in a file of its own in $XDG_STATE_HOME/zev/runs\n"
              "(~/.local/state/zev); a failure's reason names it.\n"
              "\n"
              "Language: the messages on standard output are the window's Chinese in every\n"
              "locale. The program's other texts (reasons, warnings, progress, this help)\n"
              "follow the locale (LC_ALL, LC_MESSAGES, LANG): Chinese under zh_CN, English\n"
              "otherwise. With --json the field names stay English, a stopped run's reason is\n"
              "\"cancelled\", and other reasons follow the locale as on standard error.\n"
              "\n"
              "Any number of zev-cli runs and windows may convert different folders at once;\n"
              "a second run of a folder that is being converted is refused at once.\n"
              "\n"
              "Ctrl-C (SIGINT), SIGTERM or SIGHUP (the terminal closed) stops the running\n"
              "conversion within a second and skips the folders after it: the tools it\n"
              "started are stopped, no partly written video is left behind, and the next run\n"
              "can start at once. Killed outright, zev-cli takes its tools with it, and the\n"
              "next run removes what it left.\n"
              "\n"
              "Exit status:\n"
              "  0         every video was written\n"
              "  1         a folder's settings or frames were refused, or its conversion\n"
              "            failed; its message says why\n"
              "  2         usage error: unknown option, missing folder, bad preset or slider\n"
              "            value, --cache with several folders or with --express, an\n"
              "            option of the express conversion without --express\n"
              "  130, 143  stopped by SIGINT (Ctrl-C) or SIGTERM\n"
              "  129       stopped by SIGHUP\n"
              "\n"
              "Example: convert every animation folder under assets/ at 24 frames per second\n"
              "  find assets -name 0.png -printf '%h\\0' | xargs -0 zev-cli --fps 24 --json\n"
              "\n")
               .arg(UserTexts::kSuccessFormat.arg(tr("<output folder>"))) +
           CliMediaCommands::helpText();
}

QString CliController::mediaHelpText() {
    return tr("Videos and animated images:\n"
              "A FILE, a video or animated image with transparency (QuickTime with ProRes\n"
              "4444 or the Animation codec, WebM with VP8 or VP9 alpha, animated PNG, GIF),\n"
              "is converted by the express conversion, with every option below, into\n"
              "output/NAME.mp4 beside it, NAME being the file's name without its extension\n"
              "(the whole name when another file beside it, or zev.mp4, would share it), and\n"
              "NAME.json is its description. It is read first: a file without transparency\n"
              "is refused at once, with the reason (\"the video has no transparency:\n"
              "yuv420p\"). Its frames keep the file's own timing unless --fps is given,\n"
              "which shows them at that rate. Its alpha is taken as straight (not multiplied\n"
              "into the colour), as PNG, GIF and WebM alpha are by definition and as QuickTime\n"
              "files do not say; --source-alpha says otherwise. Animated WebP images are\n"
              "refused: the FFmpeg this program runs cannot decode them.\n"
              "  --source-alpha KIND  straight (the default) or premultiplied: how to read a\n"
              "                       FILE's alpha where the file does not say\n"
              "\n"
              "With --express, a FOLDER's frames may also be named as compositors name\n"
              "them: one prefix and a number counting up by one from any number\n"
              "(comp_00000.png, walk-1.png ...); they are taken in number order.\n"
              "\n");
}

void CliController::busyEnded() {
    progress_.finish();
    endIfSettled();
}

void CliController::presentOutcome(const ConversionOutcome& outcome) {
    current_.reason = outcome.reason;
    current_.warning = outcome.warning;
    current_.frames = outcome.frames;
    current_.bitrateKbits = outcome.bitrateKbits;
    current_.width = outcome.videoSize.isValid() ? outcome.videoSize.width() : 0;
    current_.height = outcome.videoSize.isValid() ? outcome.videoSize.height() : 0;
    current_.level = outcome.level;
    current_.rateChoice = outcome.rateChoice;
    switch (outcome.kind) {
    case ConversionOutcome::Kind::Succeeded:
        recordMessage(UserTexts::kSuccessFormat.arg(outcome.outputFolder), kSucceeded);
        current_.ok = true;
        current_.video = outcome.video;
        break;
    case ConversionOutcome::Kind::Failed:
        recordMessage(outcome.message, kFailed);
        break;
    case ConversionOutcome::Kind::Cancelled:
        current_.cancelled = true;
        status_ = interruptedStatus_.value_or(kFailed);
        break;
    }
}

// Text: the message on standard output worded as the window words it, the
// reason or warning beside it on standard error. JSON: one line per folder.
void CliController::reportFolder(const FolderOutcome& outcome) {
    progress_.finish();
    if (json_) {
        writeOut(QString::fromUtf8(QJsonDocument(outcome.toJson()).toJson(QJsonDocument::Compact)) + u'\n');
        return;
    }
    if (!outcome.message.isEmpty())
        writeOut(outcome.message + u'\n');
    if (!outcome.reason.isEmpty())
        writeError(QStringLiteral("%1: %2\n").arg(kProgramName, outcome.reason));
    if (!outcome.warning.isEmpty())
        writeError(QStringLiteral("%1: %2\n").arg(kProgramName, tr("warning: %1").arg(outcome.warning)));
    if (outcome.ok && outcome.bitrateKbits > 0)
        writeError(
            QStringLiteral("%1: %2: %3 kbit/s\n").arg(kProgramName, outcome.video).arg(outcome.bitrateKbits));
    if (outcome.ok && outcome.rateChoice)
        writeError(
            QStringLiteral("%1: %2: %3\n").arg(kProgramName, outcome.video, outcome.rateChoice->text()));
    if (outcome.cancelled)
        writeError(QStringLiteral("%1: %2\n")
                       .arg(kProgramName, tr("%1: cancelled; no video was written").arg(outcome.folder)));
}

void CliController::reportSummary(int succeeded, int failed, double seconds) {
    const int skipped = int(folders_.size()) - succeeded - failed;
    QString line =
        tr("%1 of %2 folders converted, %3 failed")
            .arg(QString::number(succeeded), QString::number(folders_.size()), QString::number(failed));
    if (skipped > 0)
        line = tr("%1, %2 skipped").arg(line, QString::number(skipped));
    line = tr("%1, %2 s in all").arg(line, QString::number(seconds, 'f', 1));
    writeError(QStringLiteral("%1: %2\n").arg(kProgramName, line));
}

bool CliController::applyPreset(const QString& name) {
    for (const Preset& preset : kPresets) {
        if (name.compare(preset.name, Qt::CaseInsensitive) == 0 || name == preset.title) {
            inputs_.sliderValue = preset.sliderValue;
            return true;
        }
    }
    usageError(tr("unknown preset '%1' (use high, super or best)").arg(name));
    return false;
}

bool CliController::applySlider(const QString& text) {
    bool isNumber = false;
    const double value = text.trimmed().toDouble(&isNumber);
    // Written so that NaN fails too.
    if (!isNumber || !(value >= 0.0 && value <= 1.0)) {
        usageError(tr("the slider value must be a number from 0.0 to 1.0, not '%1'").arg(text));
        return false;
    }
    inputs_.sliderValue = value;
    return true;
}

int CliController::usageError(const QString& problem) {
    writeError(
        QStringLiteral("%1: %2\n%3\n")
            .arg(kProgramName, problem, tr("Try '%1 --help' for more information.").arg(kProgramName)));
    return kUsageError;
}

void CliController::recordMessage(const QString& text, int status) {
    current_.message = text;
    // A failure is never hidden by a later message.
    if (!status_ || *status_ == kSucceeded)
        status_ = status;
}

// The run is over once its message is out and the busy state has ended (a
// refused validation never enters it).
void CliController::endIfSettled() {
    if (!waiting_ || session_.inConverting())
        return;
    if (!status_) {
        writeError(
            QStringLiteral("%1: %2\n").arg(kProgramName, tr("the conversion ended without a message")));
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

} // namespace zev
