#pragma once

namespace zev {

// Which of the descriptions other players read go with a video, besides
// ZEV's own zev.json: the "vapc" box right after the MP4 file's "ftyp" box
// and the same JSON in vapc.json beside the video (VapcDescription), and the
// marked base64 text in the MP4 file's metadata (MarkedDescription).
struct PlayerDescriptions {
    bool vapcBox = false;
    bool vapcFile = false;
    bool markers = false;

    // Whether anything is written into the video itself.
    bool inVideo() const { return vapcBox || markers; }
    bool any() const { return vapcBox || vapcFile || markers; }
    bool operator==(const PlayerDescriptions&) const = default;
};

} // namespace zev
