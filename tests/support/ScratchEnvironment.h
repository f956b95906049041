#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace zev {

// Points the temporary folder (TMPDIR, which QDir::tempPath() and so the
// per-user scratch folder follow) at a fresh folder for the lifetime of this
// object, so a test never sees another run's scratch folders and leaves none;
// the run logs (XDG_STATE_HOME) and the caches (XDG_CACHE_HOME) go into it
// as well.
class ScratchEnvironment {
public:
    ScratchEnvironment();
    ~ScratchEnvironment();
    ScratchEnvironment(const ScratchEnvironment&) = delete;
    ScratchEnvironment& operator=(const ScratchEnvironment&) = delete;

    QString tempPath() const { return dir_.path(); }
    QString stateHome() const;
    QString cacheHome() const;

private:
    QTemporaryDir dir_;
    bool hadPrevious_ = false;
    QByteArray previous_;
    bool hadPreviousState_ = false;
    QByteArray previousState_;
    bool hadPreviousCache_ = false;
    QByteArray previousCache_;
};

} // namespace zev
