#include "ScratchEnvironment.h"

#include <QDir>
#include <QFile>

ScratchEnvironment::ScratchEnvironment()
    : dir_(QDir::tempPath() + QStringLiteral("/zev-scratch-XXXXXX"))
    , hadPrevious_(qEnvironmentVariableIsSet("TMPDIR"))
    , previous_(qgetenv("TMPDIR")) {
    qputenv("TMPDIR", QFile::encodeName(dir_.path()));
}

ScratchEnvironment::~ScratchEnvironment() {
    if (hadPrevious_)
        qputenv("TMPDIR", previous_);
    else
        qunsetenv("TMPDIR");
}
