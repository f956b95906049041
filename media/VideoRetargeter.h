#pragma once

#include "VideoUnpacker.h"
#include "core/Result.h"
#include "output/PackedLayout.h"
#include "output/PlayerTarget.h"
#include "preview/VideoExamination.h"

#include <QCoreApplication>
#include <QString>

namespace zev {

class Cancellation;

// zev-cli --retarget: a copy of any video made for another target, in an
// output folder of its own (the video under ZEV's name and the descriptions
// beside it). Where the video already has the target's layout, colour mode,
// codec and container, only its descriptions change, by a stream copy that
// keeps every frame's bytes; otherwise its frames are decoded (recombined
// from the regions its descriptions give) and encoded again with the
// target's options. Everything is made in a hidden folder inside the output
// folder and moved into place only when it is whole.
class VideoRetargeter {
    Q_DECLARE_TR_FUNCTIONS(VideoRetargeter)

public:
    // The quality a re-encode aims at, and the rate the copy is made at.
    static constexpr int kCrf = 18;

    struct Outcome {
        QString video;
        bool reencoded = false;
        VideoExamination inspection;
    };

    static Result<Outcome> retarget(const VideoUnpacker::Tools& tools, const QString& videoPath,
                                    const PlayerTarget& target, const QString& outFolder,
                                    const Cancellation* cancellation = nullptr);

    // The target's layout for the video's frames, when only the
    // descriptions differ between the video and what the target makes.
    static std::optional<PackedLayout> sameVideo(const VideoExamination& inspection,
                                                 const PlayerTarget& target);
    // The stream copy's arguments: every video and sound stream, the index
    // first in MP4, H.265 tagged hvc1.
    static QStringList copyArguments(const QString& from, const QString& to, const VideoFormat& format,
                                     const QString& probedCodec);
};

} // namespace zev
