#include "ScratchEnvironment.h"

#include <QDir>
#include <QFile>

namespace zev {

namespace {

void restore(const char* name, bool wasSet, const QByteArray& value) {
    if (wasSet)
        qputenv(name, value);
    else
        qunsetenv(name);
}

} // namespace

ScratchEnvironment::ScratchEnvironment()
    : dir_(QDir::tempPath() + QStringLiteral("/zev-scratch-XXXXXX"))
    , hadPrevious_(qEnvironmentVariableIsSet("TMPDIR"))
    , previous_(qgetenv("TMPDIR"))
    , hadPreviousState_(qEnvironmentVariableIsSet("XDG_STATE_HOME"))
    , previousState_(qgetenv("XDG_STATE_HOME"))
    , hadPreviousCache_(qEnvironmentVariableIsSet("XDG_CACHE_HOME"))
    , previousCache_(qgetenv("XDG_CACHE_HOME")) {
    qputenv("TMPDIR", QFile::encodeName(dir_.path()));
    qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome()));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome()));
}

ScratchEnvironment::~ScratchEnvironment() {
    restore("TMPDIR", hadPrevious_, previous_);
    restore("XDG_STATE_HOME", hadPreviousState_, previousState_);
    restore("XDG_CACHE_HOME", hadPreviousCache_, previousCache_);
}

QString ScratchEnvironment::stateHome() const {
    return dir_.path() + QStringLiteral("/state");
}

QString ScratchEnvironment::cacheHome() const {
    return dir_.path() + QStringLiteral("/cache");
}

} // namespace zev
