#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace zev {

// What a conversion is about to do, as far as the checks made before any
// tool runs need to know.
struct PreflightInput {
    // Full: every image stage and the encoder. Cache and Express: only the
    // encoder, from packed frames already in the scratch folder.
    enum class Run { Full, Cache, Express };

    QStringList frames;    // absolute paths, in frame order
    QString scratchFolder; // where a full run writes its work files; need not exist yet
    QString outputFolder;  // "<frame folder>/output", where the video goes; need not exist yet
    Run run = Run::Full;
    qint64 fps = 20;
    qint64 rateKbits = 1000;
};

} // namespace zev
