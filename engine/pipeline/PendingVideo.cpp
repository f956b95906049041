#include "pipeline/PendingVideo.h"

#include "core/SystemError.h"
#include "frames/FrameFolderScanner.h"
#include "output/OutputFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace zev {

PendingVideo::PendingVideo(const QString& outputFolder, const QString& stage, const VideoFormat& format)
    : path_(FrameFolderScanner::joinPath(
          outputFolder, kNamePrefix + stage + u'-' + QString::number(QCoreApplication::applicationPid()) +
                            u'-' + QString::number(QRandomGenerator::system()->generate64(), 36) + u'.' +
                            format.extension()))
    , videoPath_(OutputFolder::videoPath(outputFolder, format)) {
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
    // What the disk could not take may show only now (NFS, quotas).
    const int descriptor = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0 || ::fsync(descriptor) != 0) {
        const QString why = SystemError::text(errno);
        if (descriptor >= 0)
            ::close(descriptor);
        return Result<>::failure(tr("cannot write %1 to the disk: %2").arg(path_, why));
    }
    ::close(descriptor);
    // Unlike QFile::rename, rename(2) replaces an existing video, atomically.
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(videoPath_).constData()) != 0)
        return Result<>::failure(
            tr("cannot rename %1 to %2: %3").arg(path_, videoPath_, SystemError::text(errno)));
    committed_ = true;
    return Result<>::success();
}

void PendingVideo::removeAbandoned(const QString& outputFolder) {
    const QDir folder(outputFolder);
    // The files beside the video (DurableFile) are named alike.
    const QStringList names =
        folder.entryList({kNamePrefix + QStringLiteral("*-*-*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        // ".zev-<stage>-<pid>-<random>.mp4" (or .webm), ".zev-beside-<pid>-<random>-<name>"
        bool isNumber = false;
        const qint64 pid = name.mid(kNamePrefix.size()).section(u'-', 1, 1).toLongLong(&isNumber);
        if (isNumber && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(folder.filePath(name));
    }
}

} // namespace zev
