#pragma once

#include "session/ConversionController.h"

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <atomic>

// A front end without a window: settings inputs are plain values, and every
// request the engine makes of a front end is recorded, in order, as one line
// of events() ("error:<text>", "success:<path>", "busy:1", "busy:0",
// "cache-enabled"), together with the thread it came on. Progress reports
// are kept apart (progress()).
class FakeFrontEnd : public ConversionController {
public:
    FakeFrontEnd();

    QString fps = QStringLiteral("20");
    double slider = 0.0;
    QString path;
    bool cacheTicked = false;
    bool expressTicked = false;

    QStringList events() const;
    QStringList errors() const;
    QStringList successes() const;
    int cacheEnabledCount() const { return cacheEnabled_; }
    QList<ConversionProgress> progress() const;
    // Every outcome presented, with its reason, details and warning.
    QList<ConversionOutcome> outcomes() const;
    // Whether every request so far came on the thread that made the front end.
    bool allOnMainThread() const { return !offMainThread_; }

    // Presses start and runs the event loop until the busy state has ended
    // (or timeoutMs passed). Returns whether it ended.
    bool convertAndWait(int timeoutMs = 120000);

    // Uses the tools staged in the build tree (the real ImageMagick and FFmpeg).
    void useStagedTools();

protected:
    QString fpsText() const override { return fps; }
    double sliderValue() const override { return slider; }
    void setSliderValue(double value) override { slider = value; }
    QString pathText() const override { return path; }
    bool cacheCheckboxTicked() const override { return cacheTicked; }
    bool expressCheckboxTicked() const override { return expressTicked; }
    void enableCacheCheckbox() override;
    void presentBusyState(bool inConverting) override;
    void showAlertWithErrorMessage(const QString& message) override;
    void showConvertSuccessAlertWithPath(const QString& outputFolder) override;
    void presentProgress(const ConversionProgress& progress) override;
    void presentOutcome(const ConversionOutcome& outcome) override;

private:
    void record(const QString& event);

    mutable QMutex mutex_;
    QStringList events_;
    QList<ConversionProgress> progress_;
    QList<ConversionOutcome> outcomes_;
    std::atomic<bool> offMainThread_{false};
    std::atomic<int> cacheEnabled_{0};
};
