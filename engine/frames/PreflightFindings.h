#pragma once

#include <QSize>
#include <QString>

namespace zev {

// What the checks before a run found about frames that may be converted:
// their size, and what the user should hear although the run goes ahead.
struct PreflightFindings {
    QSize frameSize;
    // The video will be larger than phones and many players decode.
    QString playbackWarning;
    // The free space covers what the run surely needs but not its worst case.
    QString spaceWarning;

    QString warning() const {
        if (playbackWarning.isEmpty() || spaceWarning.isEmpty())
            return playbackWarning + spaceWarning;
        return playbackWarning + u' ' + spaceWarning;
    }
};

} // namespace zev
