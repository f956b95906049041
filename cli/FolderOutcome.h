#pragma once

#include <QJsonObject>
#include <QString>
#include <QtGlobal>

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

    // folder, ok, message, reason, video, frames, seconds (and warning and
    // bitrate when there are); absent texts are null.
    QJsonObject toJson() const;
};
