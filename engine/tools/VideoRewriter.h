#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace zev {

struct ToolRunOptions;

// Rewrites an encoded video's container without decoding a frame: one
// ffmpeg stream copy that writes the colour description into the H.264
// stream (ColourDescription::metadataFilter) and the MP4 container, and
// moves the index in front of the frames so a web player can start before
// the whole file has arrived. The frames' bytes stay as the encoder made
// them, so they decode to the very same pixels. It also records the
// animation's frame rate in the container (inputFpsMetadata), which the
// fixed encoder command has no place for and the readers need.
class VideoRewriter {
    Q_DECLARE_TR_FUNCTIONS(VideoRewriter)

public:
    // Succeeds only when ffmpeg exited with status 0 and left a non-empty
    // file at rewrittenFile; an existing file there is replaced.
    static Result<> rewrite(const QString& ffmpegPath, const QString& encodedFile,
                            const QString& rewrittenFile, qint64 inputFps, const ToolRunOptions& options);

    // Both files are given as "file:" URLs of their absolute paths, so no
    // part of them is read as an option or a protocol.
    static QStringList arguments(const QString& encodedFile, const QString& rewrittenFile, qint64 inputFps);

    // "-metadata zev_input_fps=<fps>": the animation's own rate, which the
    // video's (always 25 a second) does not tell, as a tag of the MP4
    // (VideoFacts::recordedInputFps reads it back).
    static QStringList inputFpsMetadata(qint64 inputFps);

    // "+faststart+write_colr+use_metadata_tags": the index first, the colour
    // in the container too, for players that read it there, and tags of our
    // own (the MP4 muxer writes only the iTunes ones otherwise).
    static inline const QString kMovFlags = QStringLiteral("+faststart+write_colr+use_metadata_tags");
};

} // namespace zev
