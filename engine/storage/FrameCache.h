#pragma once

#include "core/Result.h"

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
class FrameCache {
public:
    static constexpr qint64 kDefaultCapBytes = qint64(2) << 30;

    static QString rootFolder();
    static QString entryFolder(const QString& frameFolder);
    static QString packedFramesFolder(const QString& frameFolder);

    // Moves the packed frames into the folder's entry, in place of what it
    // held, and records where they came from.
    static Result<> store(const QString& frameFolder, const QString& packedFrames, qint64 frameCount);
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
    static Result<> makePrivateFolder(const QString& folder);
    static Result<> moveFolder(const QString& from, const QString& to);
};

} // namespace zev
