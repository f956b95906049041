#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <functional>

namespace zev {

class Cancellation;

// Writes a ZEV video's frames back out as transparent PNG files, 0.png,
// 1.png, … (every frame of the video, as a player shows them), recombined
// by the video's zev.json or the default halves.
//
// The frames are made in a private folder inside the output folder
// (".zev-unpack-<pid>-…") and only renamed into place once every one of them
// is written, so a failed or stopped unpack leaves no frame behind, and a
// link standing at a frame's name is replaced, never written through.
class VideoUnpacker {
    Q_DECLARE_TR_FUNCTIONS(VideoUnpacker)

public:
    struct Tools {
        QString ffprobe;
        QString ffmpeg;
    };

    // What to do with an output folder that already holds numbered frames
    // (the source folder itself, another animation's frames).
    enum class Existing { Refuse, Replace };

    // Called after each frame written, with the count so far and the
    // video's frame count.
    using Progress = std::function<void(qint64 written, qint64 total)>;

    // The number of frames written.
    static Result<qint64> unpack(const Tools& tools, const QString& videoPath, const QString& outFolder,
                                 const Progress& progress = {}, const Cancellation* cancellation = nullptr,
                                 Existing existing = Existing::Refuse);

    // The numbers of the PNG files in folder named by a number ("0.png",
    // "007.png"), links among them, in increasing order.
    static QList<qint64> numberedFrames(const QString& folder);

private:
    static Result<> moveIntoPlace(const QString& staging, const QString& outFolder, qint64 count,
                                  Existing existing);
    // Private folders of unpacks that were killed outright.
    static void removeAbandoned(const QString& outFolder);
};

} // namespace zev
