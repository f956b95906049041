#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

namespace zev {

// Which frame folder, and how many frames, the packed frames in the scratch
// folder came from. A cache run re-encodes those packed frames; without this
// record a run of another folder (another window, the command line) in
// between would have its frames encoded into this folder's video.
class CacheRecord {
    Q_DECLARE_TR_FUNCTIONS(CacheRecord)

public:
    static QString filePath(const QString& userFolder);

    // Forgets the record; a full run calls this just before it replaces the
    // packed frames, so an interrupted run never leaves a stale record.
    // Succeeds when no record is left, also when there was none.
    static Result<> clear(const QString& userFolder);
    static Result<> write(const QString& userFolder, const QString& frameFolder, qint64 frameCount);
    // Fails with what the record says instead, or why there is none.
    static Result<> matches(const QString& userFolder, const QString& frameFolder, qint64 frameCount);

private:
    // The same folder reached through a link or with a trailing "/" is the
    // same folder.
    static QString canonicalFolder(const QString& folder);
};

} // namespace zev
