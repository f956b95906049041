#pragma once

#include "output/VideoFormat.h"

#include <QString>
#include <QStringList>

namespace zev {

// Where a frame folder's video stands: "output/zev.mp4" or "output/zev.webm"
// after the container, and the one place that decides which of them the
// folder holds. A run writes one of them and removes the other, and writes
// zev.json naming its video whenever it is not the default zev.mp4, so the
// answer holds even when an older video could not be removed.
class OutputFolder {
public:
    // The videos ZEV writes, in the order they are looked for.
    static QStringList videoNames();

    // "<outputFolder>/zev.mp4" or "<outputFolder>/zev.webm".
    static QString videoPath(const QString& outputFolder, const VideoFormat& format);

    // The video the output folder holds: the one its zev.json names when
    // that is one of videoNames() and stands there, else zev.mp4, else
    // zev.webm; zev.mp4's path when there is none.
    static QString videoIn(const QString& outputFolder);
    // The same for a frame folder ("<frameFolder>/output").
    static QString videoOfFrameFolder(const QString& frameFolder);

    // The frame folder of a video at "<frames>/output/zev.mp4" (or zev.webm);
    // empty for a video anywhere else.
    static QString frameFolderOf(const QString& videoPath);
};

} // namespace zev
