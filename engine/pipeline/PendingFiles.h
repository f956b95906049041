#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

namespace zev {

class PendingVideo;

// The files a run writes beside its video (zev.json, and whatever else a
// target puts there), held back until the video is committed and then
// given their names together with it. write() writes each one whole under a
// temporary name, flushed and checked (DurableFile), so a full disk fails
// the run there, while the previous video and everything beside it are as
// they were; commit() renames the video, then each file, and removes the
// files the new video would make liars of. Files never committed go with
// this object.
class PendingFiles {
    Q_DECLARE_TR_FUNCTIONS(PendingFiles)

public:
    explicit PendingFiles(QString outputFolder);
    ~PendingFiles();
    PendingFiles(const PendingFiles&) = delete;
    PendingFiles& operator=(const PendingFiles&) = delete;

    // fileName: a name in the output folder ("zev.json").
    Result<> write(const QString& fileName, const QByteArray& bytes);
    // A file an earlier run left that would now lie about the video: it goes
    // at commit(), and is kept if the run fails before.
    void remove(const QString& fileName);

    // Gives the video its name, then every written file its own, then
    // removes the ones asked to go. Nothing is renamed unless every name can
    // take its file (no folder stands there).
    Result<> commit(PendingVideo& video);

    QString pathOf(const QString& fileName) const;

private:
    struct Written {
        QString fileName;
        QString temporaryPath;
    };

    Result<> renameWritten();
    Result<> removeStale();

    QString outputFolder_;
    QList<Written> written_;
    QStringList removed_;
};

} // namespace zev
