#pragma once

#include <QString>

namespace zev {

// The staged ffmpeg and ffprobe launchers the preview and the way back to
// frames run, the same the conversions run.
class StagedTools {
public:
    static QString ffmpeg();
    static QString ffprobe();
};

} // namespace zev
