#pragma once

#include "pipeline/RateChoice.h"

#include <QJsonObject>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace zev {

// How the conversion of one folder ended, as the command line reports it: a
// line of text (the window's message) or one JSON object per folder.
struct FolderOutcome {
    QString folder;
    bool ok = false;
    bool cancelled = false;
    // The exact text the window would show; empty when stopped.
    QString message;
    QString reason;
    QString warning;
    // The video's path, on success.
    QString video;
    qint64 frames = 0;
    // The video's bitrate as read back; 0 when it was not.
    qint64 bitrateKbits = 0;
    double seconds = 0.0;
    // The video's coded size and the H.264 level it needs, on success.
    int width = 0;
    int height = 0;
    QString level;
    // What a size budget's or a quality target's trial encodes chose.
    std::optional<RateChoice> rateChoice;

    // folder, ok, message, reason, video, frames, seconds, width, height,
    // level, warning (absent texts and sizes are null), bitrate when it
    // was read back, and rateChoice when the quality was searched.
    QJsonObject toJson() const;
};

} // namespace zev
