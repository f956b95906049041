#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <memory>

class QTemporaryDir;

namespace zev {

// A private folder of symbolic links 0.png … n-1.png, one for each frame in
// frame order, so ffmpeg reads the frames through names that are ours: the
// frame folder's path and the frames' own names ("007.png", "%d", quotes, a
// leading "-") never reach its file pattern. Each folder is unique, so runs
// never share one; it and its links (never their targets) are removed when
// this object goes.
class FrameLinkFolder {
    Q_DECLARE_TR_FUNCTIONS(FrameLinkFolder)

public:
    FrameLinkFolder();
    ~FrameLinkFolder();
    FrameLinkFolder(const FrameLinkFolder&) = delete;
    FrameLinkFolder& operator=(const FrameLinkFolder&) = delete;

    // Creates "<parent>/express-XXXXXX" (mode 0700) and the links, which
    // point at the frames' absolute paths. Fails with what could not be
    // made; nothing is left behind then.
    Result<> create(const QString& parent, const QStringList& frames);

    // Empty until create() succeeded.
    QString path() const;

    // "<n>.png", the name of frame n's link.
    static QString linkName(qint64 frameNumber);

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

} // namespace zev
