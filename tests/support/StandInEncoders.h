#pragma once

#include <QString>

namespace zev {

// Small stand-ins for ffmpeg, written as scripts into a test's folder, for
// the failures a real encoder shows only now and then.
class StandInEncoders {
public:
    // Runs the staged ffmpeg told to stop after two frames: it still exits
    // with status 0, leaving a short video.
    static QString stoppingEarly(const QString& folder);
    // Writes errorLine to its standard error and exits with status 1.
    static QString failing(const QString& folder, const QString& errorLine);
    // Encodes with the staged ffmpeg, but fails the stream copy that
    // rewrites the container (the run that has a "-bsf:v").
    static QString failingRewrite(const QString& folder);

private:
    static QString writeScript(const QString& path, const QByteArray& text);
};

} // namespace zev
