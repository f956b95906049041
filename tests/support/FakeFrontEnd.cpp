#include "FakeFrontEnd.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMutexLocker>
#include <QThread>

FakeFrontEnd::FakeFrontEnd() = default;

QStringList FakeFrontEnd::events() const {
    QMutexLocker lock(&mutex_);
    return events_;
}

QStringList FakeFrontEnd::errors() const {
    QStringList result;
    for (const QString& event : events()) {
        if (event.startsWith(QLatin1String("error:")))
            result.append(event.mid(6));
    }
    return result;
}

QStringList FakeFrontEnd::successes() const {
    QStringList result;
    for (const QString& event : events()) {
        if (event.startsWith(QLatin1String("success:")))
            result.append(event.mid(8));
    }
    return result;
}

bool FakeFrontEnd::convertAndWait(int timeoutMs) {
    convertBtnClicked();
    const QDeadlineTimer deadline(timeoutMs);
    while (inConverting() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    // Work posted before the busy state ended has run by now; run whatever
    // else is already queued.
    QCoreApplication::processEvents();
    return !inConverting();
}

void FakeFrontEnd::useStagedTools() {
    setConvertPath(QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert"));
    setFfmpegPath(QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg"));
    setFfprobePath(QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe"));
}

void FakeFrontEnd::enableCacheCheckbox() {
    ++cacheEnabled_;
    record(QStringLiteral("cache-enabled"));
}

void FakeFrontEnd::presentBusyState(bool inConverting) {
    record(inConverting ? QStringLiteral("busy:1") : QStringLiteral("busy:0"));
}

void FakeFrontEnd::showAlertWithErrorMessage(const QString& message) {
    record(QStringLiteral("error:") + message);
}

void FakeFrontEnd::showConvertSuccessAlertWithPath(const QString& outputFolder) {
    record(QStringLiteral("success:") + outputFolder);
}

void FakeFrontEnd::presentProgress(const ConversionProgress& progress) {
    QMutexLocker lock(&mutex_);
    progress_.append(progress);
}

void FakeFrontEnd::presentOutcome(const ConversionOutcome& outcome) {
    {
        QMutexLocker lock(&mutex_);
        outcomes_.append(outcome);
    }
    ConversionController::presentOutcome(outcome);
}

QList<ConversionOutcome> FakeFrontEnd::outcomes() const {
    QMutexLocker lock(&mutex_);
    return outcomes_;
}

QList<ConversionProgress> FakeFrontEnd::progress() const {
    QMutexLocker lock(&mutex_);
    return progress_;
}

void FakeFrontEnd::record(const QString& event) {
    if (QThread::currentThread() != QCoreApplication::instance()->thread())
        offMainThread_ = true;
    QMutexLocker lock(&mutex_);
    events_.append(event);
}
