#include "pipeline/PendingVideo.h"

#include "core/SystemError.h"
#include "frames/FrameFolderScanner.h"
#include "tools/VideoEncoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <csignal>
#include <cstdio>

namespace zev {

PendingVideo::PendingVideo(const QString& outputFolder, const QString& stage, const QString& videoPath)
    : path_(FrameFolderScanner::joinPath(
          outputFolder, kNamePrefix + stage + u'-' + QString::number(QCoreApplication::applicationPid()) +
                            u'-' + QString::number(QRandomGenerator::system()->generate64(), 36) +
                            QStringLiteral(".mp4")))
    , videoPath_(videoPath.isEmpty() ? VideoEncoder::videoPath(outputFolder) : videoPath) {
    removeAbandoned(outputFolder);
}

PendingVideo::~PendingVideo() {
    if (!committed_)
        QFile::remove(path_);
}

Result<> PendingVideo::commit() {
    const QFileInfo written(path_);
    if (!written.isFile() || written.size() == 0)
        return Result<>::failure(tr("ffmpeg left no video at %1").arg(path_));
    // Unlike QFile::rename, rename(2) replaces an existing video, atomically.
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(videoPath_).constData()) != 0)
        return Result<>::failure(
            tr("cannot rename %1 to %2: %3").arg(path_, videoPath_, SystemError::text(errno)));
    committed_ = true;
    return Result<>::success();
}

void PendingVideo::removeAbandoned(const QString& outputFolder) {
    const QDir folder(outputFolder);
    const QStringList names = folder.entryList({kNamePrefix + QStringLiteral("*-*-*.mp4")},
                                               QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        // ".zev-<stage>-<pid>-<random>.mp4"
        bool isNumber = false;
        const qint64 pid = name.mid(kNamePrefix.size()).section(u'-', 1, 1).toLongLong(&isNumber);
        if (isNumber && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(folder.filePath(name));
    }
}

} // namespace zev
