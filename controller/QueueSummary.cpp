#include "QueueSummary.h"

namespace zev {

void QueueSummary::add(const QString& name, const ConversionOutcome& outcome) {
    switch (outcome.kind) {
    case ConversionOutcome::Kind::Succeeded:
        ++succeeded_;
        return;
    case ConversionOutcome::Kind::Cancelled:
        ++cancelled_;
        return;
    case ConversionOutcome::Kind::Failed:
        ++failed_;
        break;
    }
    const QString why = outcome.reason.isEmpty() ? outcome.message : outcome.message + u' ' + outcome.reason;
    failures_.append(tr("%1: %2").arg(name, why));
}

QString QueueSummary::headline() const {
    QString counts = tr("Queue finished: %1 converted, %2 failed")
                         .arg(QString::number(succeeded_), QString::number(failed_));
    if (cancelled_ == 0)
        return counts;
    return tr("%1, %2 cancelled").arg(counts, QString::number(cancelled_));
}

QString QueueSummary::details() const {
    return failures_.join(u'\n');
}

} // namespace zev
