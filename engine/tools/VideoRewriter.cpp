#include "tools/VideoRewriter.h"

#include "tools/ColourDescription.h"
#include "tools/ToolRunner.h"
#include "tools/VideoFacts.h"

#include <QFileInfo>

namespace zev {

namespace {

QString fileUrl(const QString& path) {
    return QStringLiteral("file:") + QFileInfo(path).absoluteFilePath();
}

} // namespace

Result<> VideoRewriter::rewrite(const QString& ffmpegPath, const QString& encodedFile,
                                const QString& rewrittenFile, qint64 inputFps,
                                const ToolRunOptions& options) {
    const ToolRunResult run =
        ToolRunner::run(arguments(encodedFile, rewrittenFile, inputFps), ffmpegPath, options);
    if (Result<> outcome = run.outcome(QStringLiteral("ffmpeg")); !outcome)
        return outcome;
    const QFileInfo written(rewrittenFile);
    if (!written.isFile() || written.size() == 0)
        return Result<>::failure(tr("ffmpeg left no rewritten video at %1").arg(rewrittenFile),
                                 QString::fromUtf8(run.standardError));
    return Result<>::success();
}

QStringList VideoRewriter::inputFpsMetadata(qint64 inputFps) {
    return {QStringLiteral("-metadata"), VideoFacts::kInputFpsTag + u'=' + QString::number(inputFps)};
}

QStringList VideoRewriter::arguments(const QString& encodedFile, const QString& rewrittenFile,
                                     qint64 inputFps) {
    // The stream copy keeps the encoder's parameters, so the container's
    // colour comes from the options given here, the stream's from the
    // filter.
    return QStringList{QStringLiteral("-i"),     fileUrl(encodedFile),
                       QStringLiteral("-c"),     QStringLiteral("copy"),
                       QStringLiteral("-bsf:v"), ColourDescription::metadataFilter()} +
           ColourDescription::encoderOptions() + inputFpsMetadata(inputFps) +
           QStringList{QStringLiteral("-movflags"), kMovFlags,
                       QStringLiteral("-y"),        QStringLiteral("-f"),
                       QStringLiteral("mp4"),       fileUrl(rewrittenFile)};
}

} // namespace zev
