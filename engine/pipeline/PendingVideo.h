#pragma once

#include "core/Result.h"

#include <QString>

// The video an express run writes, kept under a temporary name beside
// zev.mp4 ("<output folder>/.zev-express-<pid>-<random>.mp4") until it is
// complete. Only commit() gives it the video's name, in one rename(2) that
// replaces the previous video at once; a run that fails or is stopped never
// commits, and the temporary file goes with this object, so the previous
// video is left exactly as it was and no half-written one appears.
class PendingVideo {
public:
    static inline const QString kNamePrefix = QStringLiteral(".zev-express-");

    explicit PendingVideo(const QString& outputFolder);
    ~PendingVideo();
    PendingVideo(const PendingVideo&) = delete;
    PendingVideo& operator=(const PendingVideo&) = delete;

    // The temporary file's path (nothing is created here: ffmpeg creates the
    // file, so it gets the usual permissions).
    QString path() const { return path_; }

    // Removes the temporary videos in outputFolder that runs killed before
    // they could remove their own left behind. Only for a run that holds the
    // frame folder's lock: then no other run is writing one there.
    static void removeLeftovers(const QString& outputFolder);

    // Renames the temporary file over "<output folder>/zev.mp4" when it is a
    // non-empty file. Returns whether the video now stands there.
    Result<> commit();

private:
    QString path_;
    QString videoPath_;
    bool committed_ = false;
};
