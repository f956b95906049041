#pragma once

#include "output/OutputOptions.h"

#include <QString>
#include <QtGlobal>

namespace zev {

// Everything one conversion reads, copied when it starts, so the run never
// looks at a front end again.
struct ConversionSettings {
    QString sourceImageFolder;
    qint64 fps = 20;
    qint64 rate = 1000; // kbit/s
    bool useCache = false;
    // One ffmpeg run straight from the frames (ExpressDriver); the cache
    // has no meaning then and is not looked at.
    bool express = false;
    // Layout, size and quality; beyond the default ones only for express.
    OutputOptions output;
    // How much the kept packed frames of all folders may take together
    // (FrameCache::kDefaultCapBytes); the least recently used go first.
    qint64 cacheCapBytes = qint64(2) << 30;
    QString convertPath;
    QString ffmpegPath;
    QString ffprobePath;

    // The start-up values: frame rate 20, rate 1000, no folder, and the
    // tools staged below resourcePath().
    static ConversionSettings defaults();
    // <folder of the executable>/../share/zev
    static QString resourcePath();

    // Where the video goes: the folder "output" inside the frame folder.
    QString outputFolder() const;
};

} // namespace zev
