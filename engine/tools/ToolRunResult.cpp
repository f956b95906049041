#include "tools/ToolRunResult.h"

#include "core/SystemError.h"

#include <QStringList>
#include <cerrno>

namespace zev {

namespace {

// The system's words for a write that could not be made, as the tools print
// them (they do not translate them) and as this program's locale words them.
QStringList storageErrorTexts() {
    QStringList texts{QStringLiteral("No space left on device"), QStringLiteral("Disk quota exceeded"),
                      QStringLiteral("File too large"), QStringLiteral("Read-only file system"),
                      QStringLiteral("Input/output error")};
    for (const int error : {ENOSPC, EDQUOT, EFBIG, EROFS, EIO}) {
        if (const QString text = SystemError::text(error); !texts.contains(text))
            texts.append(text);
    }
    return texts;
}

} // namespace

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
    const QString storage = storageFailure();
    if (succeeded() && storage.isEmpty())
        return Result<>::success();
    const QString ended = succeeded() ? tr("%1 could not write all of its output").arg(toolName)
                                      : QStringLiteral("%1 %2").arg(toolName, ending());
    const QString tail = storage.isEmpty() ? lastErrorLines() : storage;
    const QString reason =
        tail.isEmpty() ? ended : tr("%1: %2", "how a tool ended, its last error lines").arg(ended, tail);
    return Result<>::failure(reason,
                             QString::fromUtf8(standardError).replace(QLatin1Char('\r'), QLatin1Char('\n')));
}

QString ToolRunResult::storageFailure() const {
    static const QStringList texts = storageErrorTexts();
    const QList<QByteArray> all = standardError.split('\n');
    for (auto line = all.crbegin(); line != all.crend(); ++line) {
        // A progress line rewritten in place ends with the failure.
        QString text = QString::fromUtf8(line->split('\r').last()).trimmed();
        for (const QString& error : texts) {
            if (text.contains(error))
                return text;
        }
    }
    return {};
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
