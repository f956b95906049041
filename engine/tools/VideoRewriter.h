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
// them, so they decode to the very same pixels.
class VideoRewriter {
    Q_DECLARE_TR_FUNCTIONS(VideoRewriter)

public:
    // Succeeds only when ffmpeg exited with status 0 and left a non-empty
    // file at rewrittenFile; an existing file there is replaced.
    static Result<> rewrite(const QString& ffmpegPath, const QString& encodedFile,
                            const QString& rewrittenFile, const ToolRunOptions& options);

    // Both files are given as "file:" URLs of their absolute paths, so no
    // part of them is read as an option or a protocol.
    static QStringList arguments(const QString& encodedFile, const QString& rewrittenFile);

    // "+faststart+write_colr": the index first, and the colour in the
    // container too, for players that read it there.
    static inline const QString kMovFlags = QStringLiteral("+faststart+write_colr");
};

} // namespace zev
