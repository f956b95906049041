#include "frames/FrameLinkFolder.h"

#include "core/SystemError.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <unistd.h>

FrameLinkFolder::FrameLinkFolder() = default;
FrameLinkFolder::~FrameLinkFolder() = default;

bool FrameLinkFolder::create(const QString& parent, const QStringList& frames) {
    dir_ = std::make_unique<QTemporaryDir>(parent + QStringLiteral("/express-XXXXXX"));
    if (!dir_->isValid()) {
        qWarning().noquote() << "Cannot create a link folder in" << parent << ":" << dir_->errorString();
        dir_.reset();
        return false;
    }
    for (qint64 i = 0; i < frames.size(); ++i) {
        const QByteArray target = QFile::encodeName(QFileInfo(frames.at(i)).absoluteFilePath());
        const QByteArray link = QFile::encodeName(dir_->filePath(linkName(i)));
        if (::symlink(target.constData(), link.constData()) != 0) {
            qWarning().noquote() << "Cannot link" << frames.at(i) << ":" << SystemError::text(errno);
            dir_.reset();
            return false;
        }
    }
    return true;
}

QString FrameLinkFolder::path() const {
    return dir_ ? dir_->path() : QString();
}

QString FrameLinkFolder::linkName(qint64 frameNumber) {
    return QString::number(frameNumber) + QStringLiteral(".png");
}
