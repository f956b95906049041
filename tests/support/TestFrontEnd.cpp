#include "TestFrontEnd.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace zev {

TestFrontEnd::TestFrontEnd() {
    connect(&session, &ConversionSession::busyChanged, this,
            [this](bool busy) { record(busy ? QStringLiteral("busy:1") : QStringLiteral("busy:0")); });
    connect(&session, &ConversionSession::progressChanged, this, [this](const ConversionProgress& progress) {
        noteThread();
        progress_.append(progress);
    });
    connect(&session, &ConversionSession::outcomeReady, this, &TestFrontEnd::presentOutcome);
    connect(&session, &ConversionSession::cacheAvailable, this,
            [this]() { record(QStringLiteral("cache-enabled")); });
}

bool TestFrontEnd::convertBtnClicked() {
    if (session.inConverting())
        return false;
    const Result<ConversionSettings> settings = validator.validate(inputs);
    if (!settings) {
        record(QStringLiteral("error:") + settings.reason());
        return false;
    }
    return session.start(*settings);
}

bool TestFrontEnd::convertAndWait(int timeoutMs) {
    convertBtnClicked();
    const QDeadlineTimer deadline(timeoutMs);
    while (inConverting() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    // Run whatever else is already queued.
    QCoreApplication::processEvents();
    return !inConverting();
}

void TestFrontEnd::useStagedTools() {
    validator.setConvertPath(QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert"));
    validator.setFfmpegPath(QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg"));
    validator.setFfprobePath(QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe"));
}

QStringList TestFrontEnd::errors() const {
    QStringList result;
    for (const QString& event : events_) {
        if (event.startsWith(QLatin1String("error:")))
            result.append(event.mid(6));
    }
    return result;
}

QStringList TestFrontEnd::successes() const {
    QStringList result;
    for (const QString& event : events_) {
        if (event.startsWith(QLatin1String("success:")))
            result.append(event.mid(8));
    }
    return result;
}

void TestFrontEnd::presentOutcome(const ConversionOutcome& outcome) {
    outcomes_.append(outcome);
    if (outcome.succeeded())
        record(QStringLiteral("success:") + outcome.outputFolder);
    else if (!outcome.wasCancelled())
        record(QStringLiteral("error:") + outcome.message);
}

void TestFrontEnd::record(const QString& event) {
    noteThread();
    events_.append(event);
}

void TestFrontEnd::noteThread() {
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        allOnMainThread_ = false;
}

} // namespace zev
