#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zev {

// Reads back what the zev_argument_recorder program wrote. Use it as a
// stand-in for a tool: set the tool path to recorderPath(), point
// ZEV_RECORD_DIR at an empty folder (qputenv before the run; the child
// inherits it), run, then read(folder). The other ZEV_RECORD_* variables
// (see tests/support/ArgumentRecorder.cpp) make it pass the call on to a real
// program (ZEV_RECORD_EXEC), refuse some calls (ZEV_RECORD_SKIP), choose its
// exit status (ZEV_RECORD_EXIT) or write to standard error
// (ZEV_RECORD_STDERR_BYTES). Unset them again when the test ends.
class RecordedCalls {
public:
    // Full path of the recorder program in the build tree.
    static QString recorderPath();

    // One argument list per recorded call (argv[0] left out), in the order
    // the calls started. Empty when the folder holds no calls.
    static QList<QStringList> read(const QString& folder);
};

} // namespace zev
