#pragma once

#include "session/ConversionSession.h"
#include "session/FrontEndInputs.h"
#include "session/SettingsValidator.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

namespace zev {

// The smallest front end: it holds a validator and a session, as any front
// end does, takes its inputs as plain values and records what the session
// tells it, in order, as one line of events() each ("error:<text>",
// "success:<path>", "busy:1", "busy:0", "cache-enabled"). A refused
// validation records its message as an error. Progress and outcomes are
// kept apart.
class TestFrontEnd : public QObject {
public:
    TestFrontEnd();

    FrontEndInputs inputs;
    SettingsValidator validator;
    ConversionSession session;

    // The start button: ignored while busy, then the settings check, then
    // the run. Answers whether a run started.
    bool convertBtnClicked();
    // Presses start and runs the event loop until the busy state has ended
    // (or timeoutMs passed). Returns whether it ended.
    bool convertAndWait(int timeoutMs = 120000);
    bool inConverting() const { return session.inConverting(); }

    // Uses the tools staged in the build tree (the real ImageMagick and FFmpeg).
    void useStagedTools();

    QStringList events() const { return events_; }
    QStringList errors() const;
    QStringList successes() const;
    int cacheEnabledCount() const { return int(events_.count(QStringLiteral("cache-enabled"))); }
    QList<ConversionProgress> progress() const { return progress_; }
    // Every outcome, with its reason, details and warning.
    QList<ConversionOutcome> outcomes() const { return outcomes_; }
    // Whether every signal so far came on the thread that made the front end.
    bool allOnMainThread() const { return allOnMainThread_; }

private:
    void record(const QString& event);
    void noteThread();
    void presentOutcome(const ConversionOutcome& outcome);

    QStringList events_;
    QList<ConversionProgress> progress_;
    QList<ConversionOutcome> outcomes_;
    bool allOnMainThread_ = true;
};

} // namespace zev
