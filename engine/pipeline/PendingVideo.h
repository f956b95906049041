#pragma once

#include "core/Result.h"
#include "output/VideoFormat.h"

#include <QCoreApplication>
#include <QString>

namespace zev {

// A video being written, kept under a temporary name beside zev.mp4 or
// zev.webm ("<output folder>/.zev-<stage>-<pid>-<random>.mp4", or .webm)
// until it is complete.
// Only commit() gives it the video's name, in one rename(2) that replaces
// the previous video at once (and a symbolic link standing there, which is
// never followed); a run that fails or is stopped never commits, and the
// temporary file goes with this object, so the previous video is left
// exactly as it was, no half-written one appears, and nothing outside the
// output folder is written.
class PendingVideo {
    Q_DECLARE_TR_FUNCTIONS(PendingVideo)

public:
    static inline const QString kNamePrefix = QStringLiteral(".zev-");

    // stage names the step that writes the file ("express", "encoding", …);
    // format decides the video's name (OutputFolder::videoPath). Temporary
    // files that runs killed outright left behind go first.
    PendingVideo(const QString& outputFolder, const QString& stage,
                 const VideoFormat& format = VideoFormat());
    ~PendingVideo();
    PendingVideo(const PendingVideo&) = delete;
    PendingVideo& operator=(const PendingVideo&) = delete;

    // The temporary file's path (nothing is created here: ffmpeg creates the
    // file, so it gets the usual permissions).
    QString path() const { return path_; }
    // The video's name once committed.
    QString videoPath() const { return videoPath_; }

    // Renames the temporary file over "<output folder>/zev.mp4" (or
    // zev.webm) when it is a non-empty file that could be flushed to the
    // disk. Returns whether the video now stands there.
    Result<> commit();

    // Removes the temporary videos (and files beside them, PendingFiles) in
    // outputFolder whose process no longer runs: a run killed with SIGKILL
    // cannot remove its own.
    static void removeAbandoned(const QString& outputFolder);

private:
    QString path_;
    QString videoPath_;
    bool committed_ = false;
};

} // namespace zev
