#include "preview/PackedVideoDecoder.h"

#include "core/Cancellation.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace zev {

namespace {

// Only the end of ffmpeg's error output is kept: a damaged video can make
// it repeat a complaint for every frame.
constexpr qsizetype kKeptErrorBytes = qsizetype{16} * 1024;

// The child dies with the thread that started it, so a crashed or killed
// preview never leaves a decoder running.
void prepareChild(QProcess& process) {
    const pid_t parent = getpid();
    process.setChildProcessModifier([parent]() {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(128 + SIGKILL);
    });
}

} // namespace

PackedVideoDecoder::PackedVideoDecoder(Request request)
    : request_(std::move(request))
    , nextIndex_(request_.firstFrame) {}

PackedVideoDecoder::~PackedVideoDecoder() {
    stop();
}

QStringList PackedVideoDecoder::arguments(const QString& videoPath, qint64 firstFrame,
                                          double framesPerSecond) {
    QStringList arguments{QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error")};
    if (firstFrame > 0 && framesPerSecond > 0) {
        // Half a frame before the wanted one: ffmpeg drops every frame that
        // starts before this time, so the first one left is the wanted one
        // whatever the rounding of the container's timestamps.
        const double seconds = (double(firstFrame) - 0.5) / framesPerSecond;
        arguments << QStringLiteral("-ss") << QString::number(seconds, 'f', 6);
    }
    arguments << QStringLiteral("-i") << QStringLiteral("file:") + QFileInfo(videoPath).absoluteFilePath()
              << QStringLiteral("-map")
              << QStringLiteral("0:v:0")
              // Every decoded frame once: no frame doubled or dropped to keep
              // a rate the raw output does not have anyway.
              << QStringLiteral("-fps_mode")
              << QStringLiteral("passthrough")
              // A player's texture sampler brings subsampled chroma up to
              // the frame's size bilinearly; ffmpeg's own conversion to RGB
              // repeats each chroma sample over its 2×2 pixels instead, which
              // shows every edge between colours (and round a transparent
              // shape) about 2 dB worse than a player does.
              << QStringLiteral("-vf") << kChromaUpsampling << QStringLiteral("-f")
              << QStringLiteral("rawvideo") << QStringLiteral("-pix_fmt") << QStringLiteral("rgb24")
              << QStringLiteral("pipe:1");
    return arguments;
}

Result<> PackedVideoDecoder::start() {
    if (request_.packedSize.isEmpty())
        return Result<>::failure(tr("the video's frame size is unknown"));
    process_ = std::make_unique<QProcess>();
    process_->setProgram(request_.ffmpegPath);
    process_->setArguments(request_.customArguments.isEmpty()
                               ? arguments(request_.videoPath, request_.firstFrame, request_.framesPerSecond)
                               : request_.customArguments);
    process_->setStandardInputFile(QProcess::nullDevice());
    prepareChild(*process_);
    process_->start(QIODevice::ReadOnly);
    if (!process_->waitForStarted(request_.stallTimeoutMs)) {
        const QString why = process_->errorString();
        process_.reset();
        return Result<>::failure(tr("cannot start ffmpeg (%1): %2").arg(request_.ffmpegPath, why));
    }
    return Result<>::success();
}

Result<std::optional<PackedFrame>> PackedVideoDecoder::next() {
    using Answer = Result<std::optional<PackedFrame>>;
    if (!process_)
        return Answer::failure(tr("the decoder is not running"));
    PackedFrame frame;
    frame.width = request_.packedSize.width();
    frame.height = request_.packedSize.height();
    frame.index = nextIndex_;
    const qsizetype wanted = qsizetype(frame.width) * frame.height * request_.bytesPerPixel;
    frame.rgb.resize(wanted);
    qsizetype got = 0;
    QElapsedTimer sinceLastByte;
    sinceLastByte.start();
    while (got < wanted) {
        if (request_.cancellation && request_.cancellation->isRequested()) {
            stop();
            return Answer::failure(tr("decoding was stopped"));
        }
        const qint64 read = process_->read(frame.rgb.data() + got, wanted - got);
        if (read > 0) {
            got += read;
            sinceLastByte.restart();
            continue;
        }
        if (process_->state() == QProcess::NotRunning)
            return finishedReading(got);
        if (sinceLastByte.hasExpired(request_.stallTimeoutMs)) {
            collectErrorOutput();
            stop();
            const QString tail = errorTail();
            const QString seconds = QString::number(request_.stallTimeoutMs / 1000);
            const QString reason =
                tail.isEmpty()
                    ? tr("ffmpeg gave no frame of %1 for %2 s").arg(request_.videoPath, seconds)
                    : tr("ffmpeg gave no frame of %1 for %2 s: %3").arg(request_.videoPath, seconds, tail);
            return Answer::failure(reason, QString::fromUtf8(errorOutput_));
        }
        process_->waitForReadyRead(kPollMs);
        collectErrorOutput();
    }
    ++nextIndex_;
    return std::optional<PackedFrame>(std::move(frame));
}

Result<std::optional<PackedFrame>> PackedVideoDecoder::finishedReading(qsizetype bytesRead) {
    using Answer = Result<std::optional<PackedFrame>>;
    process_->waitForFinished();
    collectErrorOutput();
    const bool clean = process_->exitStatus() == QProcess::NormalExit && process_->exitCode() == 0;
    const QString tail = errorTail();
    if (clean && bytesRead == 0 && tail.isEmpty())
        return std::optional<PackedFrame>();
    QString reason;
    if (!clean)
        reason = tr("ffmpeg cannot decode %1: %2")
                     .arg(request_.videoPath,
                          tail.isEmpty() ? tr("it exited with status %1").arg(process_->exitCode()) : tail);
    else if (bytesRead > 0)
        reason = tr("%1 ended in the middle of frame %2: expected %3×%4 frames")
                     .arg(request_.videoPath)
                     .arg(nextIndex_)
                     .arg(request_.packedSize.width())
                     .arg(request_.packedSize.height());
    else
        // ffmpeg decoded to the end but complained on the way: the frames
        // after a damaged one are missing or wrong.
        reason = tr("%1 is damaged after frame %2: %3").arg(request_.videoPath).arg(nextIndex_).arg(tail);
    return Answer::failure(reason, QString::fromUtf8(errorOutput_));
}

void PackedVideoDecoder::stop() {
    if (!process_)
        return;
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished();
    }
}

bool PackedVideoDecoder::isRunning() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

qint64 PackedVideoDecoder::processId() const {
    return process_ ? process_->processId() : 0;
}

void PackedVideoDecoder::collectErrorOutput() {
    errorOutput_ += process_->readAllStandardError();
    if (errorOutput_.size() > kKeptErrorBytes)
        errorOutput_ = errorOutput_.right(kKeptErrorBytes);
}

QString PackedVideoDecoder::errorTail() const {
    QStringList lines = QString::fromUtf8(errorOutput_).split(u'\n', Qt::SkipEmptyParts);
    while (lines.size() > 3)
        lines.removeFirst();
    return lines.join(QStringLiteral(" / ")).trimmed();
}

} // namespace zev
