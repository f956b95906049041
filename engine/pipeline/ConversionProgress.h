#pragma once

#include <QMetaType>
#include <QtGlobal>

namespace zev {

// How far a running conversion has come, as the front ends show it.
struct ConversionProgress {
    enum class Stage { Scanning, Extracting, Packing, Encoding };

    Stage stage = Stage::Scanning;
    // Frames this stage has finished, of total (0 while not known). Encoding
    // counts output frames, which differ from the input frames when the
    // frame rate is not the video's 25 per second.
    qint64 done = 0;
    qint64 total = 0;
    // The whole run, from 0 to 1, the stages weighed by what they cost.
    double fraction = 0.0;
    // -1 while there is no estimate yet.
    qint64 secondsLeft = -1;
    // The trial encode of a size budget's or a quality target's search that
    // the encoding counts belong to, from 1; 0 for the video's own encoding.
    int trial = 0;

    bool operator==(const ConversionProgress&) const = default;
};

} // namespace zev

Q_DECLARE_METATYPE(zev::ConversionProgress)
