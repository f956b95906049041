#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

namespace zev {

// A file written whole or not at all. Its bytes go to a new file under a
// temporary name in the folder it belongs in, are flushed to the disk and
// checked for their size; only then is it renamed to its own name, in one
// rename(2). A full disk, a quota or a write error is a failure naming the
// file and the system's words ("No space left on device"), never a short or
// empty file under its name. (QSaveFile cannot tell: a small file's bytes
// stay in its buffer until commit() closes it, and a failure there goes
// unseen.)
class DurableFile {
    Q_DECLARE_TR_FUNCTIONS(DurableFile)

public:
    // "<folder>/.zev-beside-<pid>-<random>-<name>" for finalPath
    // "<folder>/<name>": hidden, and known to PendingVideo::removeAbandoned.
    static QString temporaryPathFor(const QString& finalPath);

    // Writes bytes to a new file at temporaryPath (never through a link,
    // never over a file), flushed and checked; on failure nothing is left
    // there. shownPath is the file named in the reason.
    static Result<> writeNew(const QString& temporaryPath, const QByteArray& bytes, const QString& shownPath);
    // Renames the written file over finalPath (a link standing there is
    // replaced, not followed), and flushes the folder's entries.
    static Result<> rename(const QString& temporaryPath, const QString& finalPath);
    // Both, through temporaryPathFor(finalPath).
    static Result<> write(const QString& finalPath, const QByteArray& bytes);

    // Why nothing can be renamed over path (a folder stands there), or
    // success.
    static Result<> canReplace(const QString& path);
};

} // namespace zev
