#include "CliMediaCommands.h"

#include "CliController.h"
#include "QualityCheck.h"
#include "VideoRetargeter.h"
#include "core/WorkerThread.h"
#include "output/PlayerTargets.h"
#include "preview/VideoExaminer.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace zev {

CliMediaCommands::CliMediaCommands(QIODevice& standardOutput, QIODevice& standardError,
                                   VideoUnpacker::Tools tools)
    : out_(standardOutput)
    , err_(standardError)
    , tools_(std::move(tools)) {}

bool CliMediaCommands::handles(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == QLatin1String("--unpack") || argument == QLatin1String("--check") ||
            argument == QLatin1String("--inspect") || argument == QLatin1String("--retarget"))
            return true;
    }
    return false;
}

int CliMediaCommands::run(const QStringList& arguments) {
    const QCommandLineOption unpackOption(QStringLiteral("unpack"));
    const QCommandLineOption checkOption(QStringLiteral("check"));
    const QCommandLineOption jsonOption(QStringLiteral("json"));
    const QCommandLineOption inspectOption(QStringLiteral("inspect"));
    const QCommandLineOption retargetOption(QStringLiteral("retarget"));
    const QCommandLineOption forceOption(QStringLiteral("force"));
    QCommandLineParser parser;
    parser.addOptions({unpackOption, checkOption, jsonOption, inspectOption, retargetOption, forceOption});
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    json_ = parser.isSet(jsonOption);
    const QStringList positional = parser.positionalArguments();
    if (int(parser.isSet(unpackOption)) + int(parser.isSet(checkOption)) + int(parser.isSet(inspectOption)) +
            int(parser.isSet(retargetOption)) >
        1)
        return usageError(tr("choose one of --unpack, --check, --inspect and --retarget"));
    if (parser.isSet(forceOption) && !parser.isSet(unpackOption))
        return usageError(tr("--force goes with --unpack only"));
    if (parser.isSet(inspectOption)) {
        if (positional.size() != 1)
            return usageError(tr("--inspect takes one video"));
        return inspect(CliController::absoluteFolder(positional[0]));
    }
    if (parser.isSet(retargetOption)) {
        if (positional.size() != 3)
            return usageError(tr("--retarget takes a video, a target and an output folder"));
        return retarget(CliController::absoluteFolder(positional[0]), positional[1],
                        CliController::absoluteFolder(positional[2]));
    }
    if (parser.isSet(unpackOption)) {
        if (positional.size() != 2)
            return usageError(tr("--unpack takes a video and an output folder"));
        return unpack(
            CliController::absoluteFolder(positional[0]), CliController::absoluteFolder(positional[1]),
            parser.isSet(forceOption) ? VideoUnpacker::Existing::Replace : VideoUnpacker::Existing::Refuse);
    }
    if (positional.size() != 1)
        return usageError(tr("--check takes one frame folder, or one video or animated image"));
    return check(CliController::absoluteFolder(positional[0]));
}

int CliMediaCommands::unpack(const QString& video, const QString& outFolder,
                             VideoUnpacker::Existing existing) {
    std::optional<Result<qint64>> written;
    runAside(
        [&]() { written = VideoUnpacker::unpack(tools_, video, outFolder, {}, &cancellation_, existing); });
    QJsonObject json{{QStringLiteral("video"), video}, {QStringLiteral("folder"), outFolder}};
    if (!written->ok()) {
        json.insert(QStringLiteral("reason"), written->reason());
        return finish(false, written->reason(), json);
    }
    json.insert(QStringLiteral("frames"), **written);
    QString text = tr("%1 frames written to %2\n").arg(**written).arg(outFolder);
    // Replaced frames of a longer animation leave its later frames; they
    // were not the video's, and are said to be there.
    const QList<qint64> numbered = VideoUnpacker::numberedFrames(outFolder);
    if (const qsizetype older = std::count_if(numbered.cbegin(), numbered.cend(),
                                              [&](qint64 number) { return number >= **written; });
        older > 0) {
        json.insert(QStringLiteral("olderFrames"), older);
        text += tr("%1 also holds %2 numbered frames after %3 that are not the video's; they were left as "
                   "they were\n")
                    .arg(outFolder)
                    .arg(older)
                    .arg(QStringLiteral("%1.png").arg(**written - 1));
    }
    return finish(true, text, json);
}

int CliMediaCommands::check(const QString& folder) {
    std::optional<Result<QualityCheck::Outcome>> outcome;
    runAside([&]() { outcome = QualityCheck::check(tools_, folder, {}, &cancellation_); });
    if (!outcome->ok()) {
        const QJsonObject json{{QStringLiteral("folder"), folder},
                               {QStringLiteral("reason"), outcome->reason()}};
        return finish(false, outcome->reason(), json);
    }
    QJsonObject json = (*outcome)->toJson();
    json.insert(QStringLiteral("folder"), folder);
    return finish(true, (*outcome)->toText(), json);
}

int CliMediaCommands::inspect(const QString& video) {
    std::optional<Result<VideoExamination>> inspection;
    runAside(
        [&]() { inspection = VideoExaminer::inspect(tools_.ffprobe, tools_.ffmpeg, video, &cancellation_); });
    if (!inspection->ok()) {
        const QJsonObject json{{QStringLiteral("video"), video},
                               {QStringLiteral("reason"), inspection->reason()}};
        return finish(false, inspection->reason(), json);
    }
    return finish(true, (*inspection)->toText(), (*inspection)->toJson());
}

int CliMediaCommands::retarget(const QString& video, const QString& targetName, const QString& outFolder) {
    const PlayerTarget* target = PlayerTargets::find(targetName);
    if (!target)
        return usageError(tr("unknown target '%1' (zev-cli --targets lists them)").arg(targetName));
    std::optional<Result<VideoRetargeter::Outcome>> outcome;
    runAside(
        [&]() { outcome = VideoRetargeter::retarget(tools_, video, *target, outFolder, &cancellation_); });
    QJsonObject json{{QStringLiteral("video"), video},
                     {QStringLiteral("target"), target->name},
                     {QStringLiteral("folder"), outFolder}};
    if (!outcome->ok()) {
        json.insert(QStringLiteral("reason"), outcome->reason());
        return finish(false, outcome->reason(), json);
    }
    const VideoRetargeter::Outcome& made = **outcome;
    json.insert(QStringLiteral("written"), made.video);
    json.insert(QStringLiteral("reencoded"), made.reencoded);
    QString verdict;
    for (const VideoExamination::TargetVerdict& checked : made.inspection.targets) {
        if (checked.name != target->name)
            continue;
        json.insert(QStringLiteral("plays"), checked.check.plays());
        json.insert(QStringLiteral("reasons"), QJsonArray::fromStringList(checked.check.reasons));
        verdict = VideoExamination::verdictText(checked.check.verdict);
        if (!checked.check.reasons.isEmpty())
            verdict += QStringLiteral(": ") + checked.check.reasons.join(QStringLiteral("; "));
    }
    const QString how = made.reencoded ? tr("decoded and encoded again") : tr("copied with new descriptions");
    return finish(
        true, tr("%1 written for %2 (%3); there it %4\n").arg(made.video, target->name, how, verdict), json);
}

void CliMediaCommands::runAside(const std::function<void()>& work) {
    QEventLoop loop;
    WorkerThread worker;
    worker.start(work, [&loop]() { loop.quit(); });
    loop.exec();
    // What the work wrote is read after the join.
    worker.join();
}

int CliMediaCommands::finish(bool ok, const QString& text, const QJsonObject& json) {
    const int status = interruptedStatus_ ? *interruptedStatus_ : ok ? kSucceeded : kFailed;
    if (json_) {
        QJsonObject line = json;
        line.insert(QStringLiteral("ok"), ok);
        writeOut(QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact)) + u'\n');
    } else if (ok) {
        writeOut(text);
    } else {
        writeError(QStringLiteral("%1: %2\n").arg(CliController::kProgramName, text));
    }
    return status;
}

void CliMediaCommands::interrupt(int signalNumber) {
    if (!interruptedStatus_)
        interruptedStatus_ = 128 + signalNumber;
    cancellation_.request();
}

int CliMediaCommands::usageError(const QString& problem) {
    writeError(QStringLiteral("%1: %2\n%3\n")
                   .arg(CliController::kProgramName, problem,
                        tr("Try '%1 --help' for more information.").arg(CliController::kProgramName)));
    return kUsageError;
}

QString CliMediaCommands::usageLines() {
    return tr("       zev-cli --unpack [--json] [--force] VIDEO OUT_FOLDER\n"
              "       zev-cli --check [--json] FOLDER|FILE\n") +
           tr("       zev-cli --inspect [--json] VIDEO\n"
              "       zev-cli --retarget [--json] VIDEO TARGET OUT_FOLDER\n");
}

QString CliMediaCommands::helpText() {
    return inspectionHelpText() +
           tr("Reading a video back:\n"
              "--unpack writes every frame of a ZEV video back out as a transparent PNG file,\n"
              "0.png, 1.png, ... in OUT_FOLDER (created when missing): the mask and the colour\n"
              "put together again as a player does, by the zev.json beside the video or, without\n"
              "one, with the mask on the left half and the colour on the right. An OUT_FOLDER\n"
              "that already holds numbered PNG frames (the frame folder itself, another\n"
              "animation) is refused unless --force is given: then the video's frames replace\n"
              "those of the same names, and later numbered frames stay as they were. The frames\n"
              "are renamed into place only once all are written, so a failed or stopped\n"
              "--unpack leaves none behind.\n"
              "--check compares FOLDER's video (output/zev.mp4, or the zev.webm a WebM run\n"
              "wrote) with FOLDER's frames (or a FILE's video, output/NAME.mp4 or NAME.webm\n"
              "beside it, with the FILE's own frames), each video frame against the frame it\n"
              "shows, and prints the mask PSNR, the colour PSNR (colour multiplied by alpha)\n"
              "and the PSNR of the frames laid over white: the average over all frames and\n"
              "the worst frame with its number. For the edge pixels (the frames' partly\n"
              "transparent ones, where rims show) it prints the PSNR laid over white and over\n"
              "black, each with the mean signed error in levels: a negative mean is a dark\n"
              "rim, a positive one a light rim. The video frames are matched to the frames\n"
              "they show by the\n"
              "animation's frame rate: zev.json's inputFps, the rate the conversion recorded\n"
              "in the video, or the one rate that turns the frames into the video's frame\n"
              "count; failing those, an assumed rate, which the result says it assumed\n"
              "(inputFpsFrom and inputFpsAssumption with --json).\n"
              "--json prints one JSON object instead of the text. Exit status 0 when it\n"
              "could unpack or compare, 1 when it could not (the reason goes to standard\n"
              "error), 2 for a usage error.\n");
}

QString CliMediaCommands::inspectionHelpText() {
    return tr("Which players a video plays in:\n"
              "--inspect tells about any video: codec, profile and level, size, colour tags,\n"
              "where the index lies, sound, the container's tags, the descriptions found\n"
              "(zev.json and vapc.json beside it, the vapc box after ftyp, the marked\n"
              "metadata) and whether they agree with each other and with the video, the\n"
              "colour mode (as written, or told from the first frames' pixels), and for\n"
              "each target of zev-cli --targets: plays, may play or does not play, and why.\n"
              "--retarget writes a copy of VIDEO for TARGET into OUT_FOLDER (its zev.mp4 and\n"
              "the descriptions beside it): a stream copy with the target's descriptions\n"
              "where only they differ, else the frames decoded and encoded again for the\n"
              "target (CRF 18, 25 frames a second).\n"
              "\n");
}

void CliMediaCommands::writeOut(const QString& text) {
    out_.write(text.toUtf8());
}

void CliMediaCommands::writeError(const QString& text) {
    err_.write(text.toUtf8());
}

} // namespace zev
