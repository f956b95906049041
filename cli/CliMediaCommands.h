#pragma once

#include "VideoUnpacker.h"
#include "core/Cancellation.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QIODevice;

namespace zev {

// zev-cli's way back from a video: --unpack VIDEO OUT_FOLDER writes the
// video's frames as transparent PNG files, --check FOLDER compares the
// folder's output/zev.mp4 with its frames (mask and colour PSNR), --inspect
// VIDEO tells where it plays, --retarget VIDEO TARGET OUT_FOLDER makes a
// copy for another target. The work
// runs on a thread of its own while the main thread waits in its event
// loop, so Ctrl-C stops it in order.
class CliMediaCommands {
    Q_DECLARE_TR_FUNCTIONS(CliMediaCommands)

public:
    enum ExitStatus : int { kSucceeded = 0, kFailed = 1, kUsageError = 2 };

    CliMediaCommands(QIODevice& standardOutput, QIODevice& standardError, VideoUnpacker::Tools tools);

    // True when the arguments (program name first) ask for --unpack or
    // --check; everything else is a conversion.
    static bool handles(const QStringList& arguments);

    int run(const QStringList& arguments);
    // SIGINT or SIGTERM: stops the work; the exit status becomes 128 + it.
    void interrupt(int signalNumber);

    // The usage lines and the paragraph zev-cli --help adds for both.
    static QString usageLines();
    static QString helpText();

private:
    int unpack(const QString& video, const QString& outFolder, VideoUnpacker::Existing existing);
    int check(const QString& folder);
    int inspect(const QString& video);
    int retarget(const QString& video, const QString& target, const QString& outFolder);
    static QString inspectionHelpText();
    // Runs work on a thread of its own and waits for it in an event loop.
    void runAside(const std::function<void()>& work);
    int finish(bool ok, const QString& text, const QJsonObject& json);
    int usageError(const QString& problem);
    void writeOut(const QString& text);
    void writeError(const QString& text);

    QIODevice& out_;
    QIODevice& err_;
    VideoUnpacker::Tools tools_;
    bool json_ = false;
    Cancellation cancellation_;
    std::optional<int> interruptedStatus_;
};

} // namespace zev
