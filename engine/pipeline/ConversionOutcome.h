#pragma once

#include "core/Result.h"
#include "pipeline/RateChoice.h"

#include <QMetaType>
#include <QSize>
#include <QString>
#include <optional>

namespace zev {

// How one conversion ended: the video written, one of the fixed error
// messages, or stopped on request.
struct ConversionOutcome {
    enum class Kind { Succeeded, Failed, Cancelled };

    Kind kind = Kind::Failed;
    // The error message shown to the user; empty unless failed.
    QString message;
    // The folder holding the video, and the video (zev.mp4 or zev.webm);
    // empty unless succeeded.
    QString outputFolder;
    QString video;
    // Why it failed, in one sentence naming the concrete thing, and the tool
    // output behind it; both may be empty (a refused folder needs no more
    // than its message).
    QString reason;
    QString details;
    // Something the user should know about a video that was written.
    QString warning;
    // The run's log, when one was written.
    QString logPath;
    // The frames found in the folder (0 when it was refused before).
    qint64 frames = 0;
    // The written video's bitrate, when it was read back (a quality target
    // leaves it open until then); 0 when not known.
    qint64 bitrateKbits = 0;
    // The written video's coded size and the H.264 level it needs ("4.1");
    // invalid and empty unless succeeded.
    QSize videoSize;
    QString level;
    // What a size budget's or a quality target's trial encodes chose.
    std::optional<RateChoice> rateChoice;

    static ConversionOutcome success(const QString& outputFolder, const QString& warning = QString()) {
        ConversionOutcome outcome;
        outcome.kind = Kind::Succeeded;
        outcome.outputFolder = outputFolder;
        outcome.warning = warning;
        return outcome;
    }
    static ConversionOutcome failure(const QString& message, const Result<>& why = Result<>::success()) {
        ConversionOutcome outcome;
        outcome.message = message;
        outcome.reason = why.reason();
        outcome.details = why.details();
        return outcome;
    }
    static ConversionOutcome cancelled() {
        ConversionOutcome outcome;
        outcome.kind = Kind::Cancelled;
        return outcome;
    }

    bool succeeded() const { return kind == Kind::Succeeded; }
    bool wasCancelled() const { return kind == Kind::Cancelled; }
};

} // namespace zev

Q_DECLARE_METATYPE(zev::ConversionOutcome)
