#include "CliMediaCommands.h"

#include "CliController.h"
#include "QualityCheck.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QIODevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <memory>

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
        if (argument == QLatin1String("--unpack") || argument == QLatin1String("--check"))
            return true;
    }
    return false;
}

int CliMediaCommands::run(const QStringList& arguments) {
    const QCommandLineOption unpackOption(QStringLiteral("unpack"));
    const QCommandLineOption checkOption(QStringLiteral("check"));
    const QCommandLineOption jsonOption(QStringLiteral("json"));
    QCommandLineParser parser;
    parser.addOptions({unpackOption, checkOption, jsonOption});
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    json_ = parser.isSet(jsonOption);
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(unpackOption) && parser.isSet(checkOption))
        return usageError(tr("choose either --unpack or --check, not both"));
    if (parser.isSet(unpackOption)) {
        if (positional.size() != 2)
            return usageError(tr("--unpack takes a video and an output folder"));
        return unpack(CliController::absoluteFolder(positional[0]),
                      CliController::absoluteFolder(positional[1]));
    }
    if (positional.size() != 1)
        return usageError(tr("--check takes one frame folder"));
    return check(CliController::absoluteFolder(positional[0]));
}

int CliMediaCommands::unpack(const QString& video, const QString& outFolder) {
    std::optional<Result<qint64>> written;
    runAside([&]() { written = VideoUnpacker::unpack(tools_, video, outFolder, {}, &cancellation_); });
    QJsonObject json{{QStringLiteral("video"), video}, {QStringLiteral("folder"), outFolder}};
    if (!written->ok()) {
        json.insert(QStringLiteral("reason"), written->reason());
        return finish(false, written->reason(), json);
    }
    json.insert(QStringLiteral("frames"), **written);
    return finish(true, tr("%1 frames written to %2\n").arg(**written).arg(outFolder), json);
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

void CliMediaCommands::runAside(const std::function<void()>& work) {
    QEventLoop loop;
    std::unique_ptr<QThread> thread(QThread::create(work));
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
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
    return tr("       zev-cli --unpack [--json] VIDEO OUT_FOLDER\n"
              "       zev-cli --check [--json] FOLDER\n");
}

QString CliMediaCommands::helpText() {
    return tr("Reading a video back:\n"
              "--unpack writes every frame of a ZEV video back out as a transparent PNG file,\n"
              "0.png, 1.png, ... in OUT_FOLDER (created when missing): the mask and the colour\n"
              "put together again as a player does, by the zev.json beside the video or, without\n"
              "one, with the mask on the left half and the colour on the right.\n"
              "--check compares FOLDER/output/zev.mp4 with FOLDER's frames, each video frame\n"
              "against the frame it shows, and prints the mask PSNR, the colour PSNR (colour\n"
              "multiplied by alpha) and the PSNR of the frames laid over white: the average\n"
              "over all frames and the worst frame with its number. For the edge pixels (the\n"
              "frames' partly transparent ones, where rims show) it prints the PSNR laid over\n"
              "white and over black, each with the mean signed error in levels: a negative\n"
              "mean is a dark rim, a positive one a light rim.\n"
              "The video frames are matched to the frames they show by the\n"
              "animation's frame rate (zev.json's inputFps, or the ratio of the two counts).\n"
              "--json prints one JSON object instead of the text. Exit status 0 when it\n"
              "could unpack or compare, 1 when it could not (the reason goes to standard\n"
              "error), 2 for a usage error.\n");
}

void CliMediaCommands::writeOut(const QString& text) {
    out_.write(text.toUtf8());
}

void CliMediaCommands::writeError(const QString& text) {
    err_.write(text.toUtf8());
}

} // namespace zev
