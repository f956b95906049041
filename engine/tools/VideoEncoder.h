#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace zev {

struct ToolRunOptions;

// Encodes the packed frames "00000.png", "00001.png", … of a folder into one
// MP4 file with one ffmpeg run: H.264 in yuv420p at 25 frames per second,
// the images read at the chosen frame rate. The driver gives it a temporary
// name beside "<output folder>/zev.mp4" (PendingVideo), so ffmpeg never
// writes through a link standing at the video's name, and a stopped run
// leaves the previous video whole.
class VideoEncoder {
    Q_DECLARE_TR_FUNCTIONS(VideoEncoder)

public:
    static inline const QString kVideoName = QStringLiteral("zev.mp4");
    static constexpr qint64 kVideoRate = 25;

    // Fails without running anything when the folder or the file is null.
    // Creates the video file's folder (with its parents) when nothing exists
    // at its path. Succeeds only when ffmpeg ran, exited with status 0 and
    // left a non-empty video: a failed encode (odd frame height, no frames,
    // an unwritable output folder) must not be announced as a finished
    // video. options may stop the run, watch ffmpeg's progress and log it.
    static Result<> convertImagesToMp4FromFolder(const QString& ffmpegPath, const QString& imagesFolder,
                                                 const QString& videoFile, qint64 fps, qint64 rate,
                                                 const ToolRunOptions& options);
    static Result<> convertImagesToMp4FromFolder(const QString& ffmpegPath, const QString& imagesFolder,
                                                 const QString& videoFile, qint64 fps, qint64 rate);

    // How many frames ffmpeg writes from frameCount images read at fps and
    // written at 25 per second.
    static qint64 outputFrameCount(qint64 frameCount, qint64 fps);

    // The 16 arguments of the run, the last being the video file; rate is
    // in kbit/s.
    static QStringList encodingArguments(const QString& imagesFolder, const QString& videoFile, qint64 fps,
                                         qint64 rate);

    static QString videoPath(const QString& outputFolder);

private:
    static void createMissingFolder(const QString& folder);
    static bool holdsVideo(const QString& videoFile);
};

} // namespace zev
