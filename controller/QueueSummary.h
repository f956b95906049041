#pragma once

#include "pipeline/ConversionOutcome.h"

#include <QCoreApplication>
#include <QMetaType>
#include <QString>
#include <QStringList>

namespace zev {

// How a run of the queue went, from the moment it got work until nothing was
// left waiting or converting: the lines that ended, counted by how, and the
// failures by name. Told once, as one alert (and a desktop notification when
// the window is not in front), instead of an alert per line.
class QueueSummary {
    Q_DECLARE_TR_FUNCTIONS(QueueSummary)

public:
    // Counts one line that ended; name is what the queue shows for it.
    void add(const QString& name, const ConversionOutcome& outcome);

    int succeeded() const { return succeeded_; }
    int failed() const { return failed_; }
    int cancelled() const { return cancelled_; }
    int total() const { return succeeded_ + failed_ + cancelled_; }
    bool isEmpty() const { return total() == 0; }

    // "Queue finished: 2 converted, 1 failed" (and how many were cancelled,
    // when any were).
    QString headline() const;
    // One line per failure: the name, the fixed message and its reason.
    QString details() const;

private:
    int succeeded_ = 0;
    int failed_ = 0;
    int cancelled_ = 0;
    QStringList failures_;
};

} // namespace zev

Q_DECLARE_METATYPE(zev::QueueSummary)
