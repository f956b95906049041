#pragma once

#include "output/PlayerTarget.h"
#include "tools/VideoFacts.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QList>
#include <QRect>
#include <QString>
#include <optional>

namespace zev {

// What --inspect found out about a video: its streams and container, the
// descriptions in and beside it and whether they agree, its colour mode, and
// for each target whether it plays there and why not.
struct VideoExamination {
    Q_DECLARE_TR_FUNCTIONS(VideoExamination)

public:
    // One description, as one family of players finds it.
    struct Described {
        // "zev.json", "vapc box", "marked metadata", "vapc.json"
        QString source;
        bool ok = false;
        // Why it cannot be read, or why it does not fit the video.
        QString problem;
        QSize packed;
        QRect colourRect;
        QRect maskRect;
        // Zero where it does not say.
        qint64 frames = 0;
        int fps = 0;
        std::optional<bool> premultiplied;
    };
    struct TargetVerdict {
        QString name;
        QString title;
        PlayerTarget::Check check;
    };

    QString path;
    VideoFacts facts;
    bool indexFirst = false;
    QList<Described> descriptions;
    // Where descriptions disagree with each other or with the video.
    QStringList disagreements;
    // Where the regions were taken from: a description's source, or empty
    // for the default halves.
    QString regionsFrom;
    QRect colourRect;
    QRect maskRect;
    // Nothing: unknown. colourModeFrom: "zev.json", "pixels", or empty.
    std::optional<bool> premultiplied;
    bool colourModeShows = true;
    QString colourModeFrom;
    QList<TargetVerdict> targets;

    QString toText() const;
    QJsonObject toJson() const;
    QString colourModeText() const;
    static QString verdictText(PlayerTarget::Verdict verdict);
};

} // namespace zev
