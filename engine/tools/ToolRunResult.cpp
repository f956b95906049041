#include "tools/ToolRunResult.h"

#include "core/SystemError.h"

#include <QStringList>

namespace zev {

QString ToolRunResult::ending() const {
    if (cancelled)
        return tr("was stopped");
    if (!started)
        return tr("could not be started (%1)").arg(startError);
    if (crashed)
        return tr("was ended by signal %1 (%2)").arg(exitCode).arg(SystemError::signalText(exitCode));
    return tr("exited with status %1").arg(exitCode);
}

Result<> ToolRunResult::outcome(const QString& toolName) const {
    if (succeeded())
        return Result<>::success();
    const QString ended = QStringLiteral("%1 %2").arg(toolName, ending());
    const QString tail = lastErrorLines();
    const QString reason =
        tail.isEmpty() ? ended : tr("%1: %2", "how a tool ended, its last error lines").arg(ended, tail);
    return Result<>::failure(reason,
                             QString::fromUtf8(standardError).replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

QString ToolRunResult::lastErrorLines(int count) const {
    QStringList lines;
    const QList<QByteArray> all = standardError.split('\n');
    for (auto line = all.crbegin(); line != all.crend() && lines.size() < count; ++line) {
        // A progress line rewritten in place keeps only its last state.
        const QString text = QString::fromUtf8(line->split('\r').last()).trimmed();
        if (!text.isEmpty())
            lines.prepend(text);
    }
    return lines.join(QStringLiteral(" / "));
}

} // namespace zev
