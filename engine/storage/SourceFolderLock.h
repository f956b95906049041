#pragma once

#include "core/Result.h"
#include "storage/FileLock.h"

#include <QCoreApplication>
#include <QString>

namespace zev {

// Held by every conversion of a frame folder for its whole run, whichever
// pipeline and front end: two runs of one folder would write the same video
// and the same cache, so the second is refused at once. Runs of different
// folders never meet here.
//
// The lock file is "<user scratch folder>/folder-<key>.lock", the key being
// a hash of the folder's canonical path, so the folder reached through a
// link or with a trailing "/" is the same folder.
class SourceFolderLock {
    Q_DECLARE_TR_FUNCTIONS(SourceFolderLock)

public:
    static QString key(const QString& frameFolder);
    static QString lockFilePathForKey(const QString& key);

    // The user scratch folder must have been prepared.
    Result<> tryLock(const QString& frameFolder);
    void unlock() { lock_.unlock(); }

private:
    FileLock lock_;
};

} // namespace zev
