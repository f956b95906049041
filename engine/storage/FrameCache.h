#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace zev {

// The packed frames of the last finished full run of every frame folder, for
// cache runs to re-encode: "<cache>/zev/<key>/appendImages", beside the
// record of where they came from ("appendImages.source", CacheRecord), where
// <cache> is $XDG_CACHE_HOME (~/.cache when unset) and <key> is the frame
// folder's SourceFolderLock key. A cache run of one folder therefore works
// whatever other folders were converted since.
//
// Every call about a folder's entry is made while holding that folder's
// SourceFolderLock; prune() takes the lock of each entry it removes, so an
// entry in use is never removed.
//
// Nothing in the cache is ever followed out of it: an entry that holds
// anything but what ZEV makes there (a symbolic link, a file where a folder
// belongs, a folder of another user) is set aside, renamed
// "<key>.set-aside-…", and never used; prune() removes it like any other,
// links and all, never what they lead to.
class FrameCache {
    Q_DECLARE_TR_FUNCTIONS(FrameCache)

public:
    static constexpr qint64 kDefaultCapBytes = qint64(2) << 30;

    static QString rootFolder();
    static QString entryFolder(const QString& frameFolder);
    static QString packedFramesFolder(const QString& frameFolder);

    // Moves the packed frames into the folder's entry, in place of what it
    // held, and records where they came from. Answers what checkEntry() set
    // aside on the way (empty when nothing).
    static Result<QString> store(const QString& frameFolder, const QString& packedFrames, qint64 frameCount);
    // Leaves the folder's entry as ZEV made it, or out of the way: a link
    // standing at the entry is removed, never followed, and an entry that
    // holds anything else is set aside. Answers what was done and why, for
    // the run's log (empty when the entry was sound or absent), or why the
    // cache cannot be used at all (the cache folder itself is not ours).
    static Result<QString> checkEntry(const QString& frameFolder);
    // The entry holds the frames of a finished full run of frameFolder with
    // frameCount frames, or why not.
    static Result<> matches(const QString& frameFolder, qint64 frameCount);
    // Counts as a use for the order in which prune() removes entries.
    static void markUsed(const QString& frameFolder);

    // Removes the least recently used entries until all of them together
    // take at most capBytes, never one in use. Returns the removed entries.
    static QStringList prune(qint64 capBytes);

    static qint64 sizeOnDisk(const QString& folder);

private:
    // Why the entry is not what store() makes, or success.
    static Result<> inspectEntry(const QString& entry);
    static Result<> inspectFolder(const QString& folder, bool plainFilesOnly);
    static Result<> inspectCacheFolder();
    static Result<QString> setAside(const QString& entry);
    static Result<> makePrivateFolder(const QString& folder);
    static Result<> moveFolder(const QString& from, const QString& to);
};

} // namespace zev
