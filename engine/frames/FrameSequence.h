#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace zev {

// The PNG frames of a folder named as compositors write them: one prefix
// shared by every frame and a number, plain or zero-padded, counting up by
// one from any first number ("comp_00000.png", "walk-1.png", "7.png"). The
// express conversion reads them through links of its own, so their names
// never reach a tool. Like FrameFolderScanner it looks at names only, only
// at names ending in ".png", touches nothing and keeps no state.
class FrameSequence {
    Q_DECLARE_TR_FUNCTIONS(FrameSequence)

public:
    // Why the folder is no sequence: one of the scanner's or the driver's
    // fixed messages, and a reason naming the frames at fault.
    struct Refusal {
        QString message;
        QString reason;
    };

    // Frame numbers have at most this many digits, so they fit a qint64.
    static constexpr int kMostDigits = 18;

    // The frames' full paths in number order.
    static Result<QStringList, Refusal> scan(const QString& folder);

    // "comp_00000.png … comp_00119.png", the first and last of the frames.
    static QString span(const QStringList& frames);
};

} // namespace zev
