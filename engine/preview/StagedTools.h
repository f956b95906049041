#pragma once

#include <QString>

// The staged ffmpeg and ffprobe launchers the preview and the way back to
// frames run, the same the conversions run.
class StagedTools {
public:
    static QString ffmpeg();
    static QString ffprobe();
};
