#pragma once

#include "output/OutputOptions.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace zev {

// Everything one conversion reads, copied when it starts, so the run never
// looks at a front end again.
struct ConversionSettings {
    // The frame folder, or the video or animated image when mediaSource.
    QString sourceImageFolder;
    // A video or animated image with transparency, converted by the
    // express conversion (MediaSource).
    bool mediaSource = false;
    qint64 fps = 20;
    // Whether the user gave fps; a media source is otherwise shown at its
    // own rate.
    bool fpsTyped = false;
    // The user's word on a media source's alpha, where its file says
    // nothing: premultiplied (true) or straight (false); unset: straight.
    std::optional<bool> sourcePremultiplied;
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

    // Where the video goes: the folder "output" inside the frame folder, or
    // beside the media source.
    QString outputFolder() const;
    // The video this run writes: outputFolder(), videoBaseName() and the
    // container's extension.
    QString videoPath() const;

    // The written video's name without its extension: "zev" for a frame
    // folder, the file's own name for a media source ("walk" for walk.mov),
    // so two movies of one folder never write one video. Where that name
    // would still be shared (walk.mov beside walk.webm, or a movie called
    // zev.mov beside frames), the whole file name ("walk.mov").
    static QString videoBaseName(const QString& source, bool mediaSource);
    // The video conversions of source wrote (OutputFolder::videoIn); a
    // source that names a file is a media source.
    static QString videoPathFor(const QString& source);
};

} // namespace zev
