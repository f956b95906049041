#include "PendingVideo.h"

#include "FrameFolderScanner.h"
#include "VideoEncoder.h"

#include <QCoreApplication>
#include <QDebug>
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

bool PendingVideo::commit() {
    const QFileInfo written(path_);
    if (!written.isFile() || written.size() == 0)
        return false;
    // Unlike QFile::rename, rename(2) replaces an existing video, atomically.
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(videoPath_).constData()) != 0) {
        qWarning().noquote() << "Cannot rename" << path_ << "to" << videoPath_ << ":" << std::strerror(errno);
        return false;
    }
    committed_ = true;
    return true;
}
