#include "frames/FrameLinkFolder.h"

#include "core/SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <unistd.h>

namespace zev {

FrameLinkFolder::FrameLinkFolder() = default;
FrameLinkFolder::~FrameLinkFolder() = default;

Result<> FrameLinkFolder::create(const QString& parent, const QStringList& frames) {
    dir_ = std::make_unique<QTemporaryDir>(parent + QStringLiteral("/express-XXXXXX"));
    if (!dir_->isValid()) {
        const QString why = dir_->errorString();
        dir_.reset();
        return Result<>::failure(
            tr("cannot create a folder for the frames' links in %1: %2").arg(parent, why));
    }
    for (qint64 i = 0; i < frames.size(); ++i) {
        const QByteArray target = QFile::encodeName(QFileInfo(frames.at(i)).absoluteFilePath());
        const QString link = dir_->filePath(linkName(i));
        if (::symlink(target.constData(), QFile::encodeName(link).constData()) != 0) {
            const QString why = SystemError::text(errno);
            dir_.reset();
            return Result<>::failure(tr("cannot link %1 to %2: %3").arg(link, frames.at(i), why));
        }
    }
    return Result<>::success();
}

QString FrameLinkFolder::path() const {
    return dir_ ? dir_->path() : QString();
}

QString FrameLinkFolder::linkName(qint64 frameNumber) {
    return QString::number(frameNumber) + QStringLiteral(".png");
}

} // namespace zev
