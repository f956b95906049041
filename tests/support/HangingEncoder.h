#pragma once

#include <QString>

namespace zev {

// A stand-in ffmpeg that begins to write the video, reports three frames and
// then hangs, so a test can stop a conversion in the middle of encoding.
class HangingEncoder {
public:
    explicit HangingEncoder(const QString& folder);

    QString path() const { return path_; }
    // Whether the stand-in has started and is still running.
    bool isRunning() const;

private:
    QString path_;
};

} // namespace zev
