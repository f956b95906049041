#pragma once

#include <QString>
#include <QtGlobal>

// Everything one conversion reads, copied from the controller when it starts,
// so the run never looks at a front end again.
struct ConversionSettings {
    QString sourceImageFolder;
    qint64 fps = 20;
    qint64 rate = 1000; // kbit/s
    bool useCache = false;
    // One ffmpeg run straight from the frames (ExpressDriver); the cache
    // has no meaning then and is not looked at.
    bool express = false;
    QString convertPath;
    QString ffmpegPath;
    QString ffprobePath;
};
