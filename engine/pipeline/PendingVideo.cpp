#include "pipeline/PendingVideo.h"

#include "frames/FrameFolderScanner.h"
#include "tools/VideoEncoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>

PendingVideo::PendingVideo(const QString& outputFolder)
    : path_(FrameFolderScanner::joinPath(
          outputFolder, kNamePrefix + QString::number(QCoreApplication::applicationPid()) + u'-' +
                            QString::number(QRandomGenerator::system()->generate64(), 36) +
                            QStringLiteral(".mp4")))
    , videoPath_(VideoEncoder::videoPath(outputFolder)) {}

PendingVideo::~PendingVideo() {
    if (!committed_)
        QFile::remove(path_);
}

Result<> PendingVideo::commit() {
    const QFileInfo written(path_);
    if (!written.isFile() || written.size() == 0)
        return Result<>::failure(QStringLiteral("ffmpeg left no video at %1").arg(path_));
    // Unlike QFile::rename, rename(2) replaces an existing video, atomically.
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(videoPath_).constData()) != 0)
        return Result<>::failure(QStringLiteral("cannot rename %1 to %2: %3")
                                     .arg(path_, videoPath_, QString::fromLocal8Bit(std::strerror(errno))));
    committed_ = true;
    return Result<>::success();
}

void PendingVideo::removeLeftovers(const QString& outputFolder) {
    const QDir folder(outputFolder);
    for (const QString& name :
         folder.entryList({kNamePrefix + u'*'}, QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(folder.filePath(name));
}
