#pragma once

#include <QString>
#include <QtGlobal>

// Which frame folder, and how many frames, the packed frames in the scratch
// folder came from. A cache run re-encodes those packed frames; without this
// record a run of another folder (another window, the command line) in
// between would have its frames encoded into this folder's video.
class CacheRecord {
public:
    static QString filePath(const QString& userFolder);

    // Forgets the record; a full run calls this before it replaces the
    // packed frames, so an interrupted run never leaves a stale record.
    static void clear(const QString& userFolder);
    static bool write(const QString& userFolder, const QString& frameFolder, qint64 frameCount);
    static bool matches(const QString& userFolder, const QString& frameFolder, qint64 frameCount);

private:
    // The same folder reached through a link or with a trailing "/" is the
    // same folder.
    static QString canonicalFolder(const QString& folder);
};
