#pragma once

#include "core/Result.h"
#include "storage/FileLock.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace zev {

// The scratch folder of one conversion, "<user scratch folder>/run-XXXXXX"
// (mode 0700), so any number of runs work side by side without sharing a
// file. The run holds a lock on it for as long as it lives and removes it,
// with everything in it, when this object goes, whatever the outcome.
//
// A run that is killed cannot remove its folder; its lock goes with it, so
// the next run's removeStale() recognises the folder as left behind. A folder
// is locked before it gets its "run-" name (it is made under a ".new-" name
// and renamed), so the sweep never sees a live run's folder unlocked.
class RunFolder {
    Q_DECLARE_TR_FUNCTIONS(RunFolder)

public:
    static inline const QString kNamePrefix = QStringLiteral("run-");

    RunFolder() = default;
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    // Prepares the user scratch folder, removes what dead runs left there,
    // and makes this run's folder.
    Result<> create();
    // Empty until create() succeeded.
    QString path() const { return path_; }

    // Removes the folders of runs that are gone from the user scratch folder
    // (and what earlier versions left in it), never a live run's. Returns
    // what it removed.
    static QStringList removeStale();

private:
    static bool removeEntry(const QString& path);

    FileLock lock_;
    QString path_;
};

} // namespace zev
