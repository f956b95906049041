#include "storage/RunLog.h"

#include <QDateTime>
#include <QDir>
#include <QMutexLocker>
#include <QRegularExpression>

namespace {

QString keptLog(const QString& folder, int age) {
    return age == 0 ? folder + QStringLiteral("/last-run.log")
                    : QStringLiteral("%1/last-run.%2.log").arg(folder).arg(age);
}

// Single quotes around anything a shell would read specially.
QString quotedForReading(const QString& word) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:=,+@%-]+$"));
    if (plain.match(word).hasMatch())
        return word;
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

RunLog::RunLog(const QString& title) {
    const QString dir = folder();
    if (!QDir().mkpath(dir))
        return;
    QFile::remove(keptLog(dir, kKeptRuns - 1));
    for (int age = kKeptRuns - 2; age >= 0; --age)
        QFile::rename(keptLog(dir, age), keptLog(dir, age + 1));
    path_ = keptLog(dir, 0);
    file_.setFileName(path_);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return;
    write(QStringLiteral("%1 %2\n").arg(QDateTime::currentDateTime().toString(Qt::ISODate), title));
}

RunLog::~RunLog() = default;

bool RunLog::isOpen() const {
    return file_.isOpen();
}

QString RunLog::folder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    // The base directory rules ignore a relative path.
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/zev");
}

QString RunLog::commandLine(const QString& program, const QStringList& arguments) {
    QStringList words{quotedForReading(program)};
    for (const QString& argument : arguments)
        words.append(quotedForReading(argument));
    return words.join(QLatin1Char(' '));
}

void RunLog::note(const QString& line) {
    write(line + QLatin1Char('\n'));
}

void RunLog::toolRun(const QString& program, const QStringList& arguments, const QString& ending,
                     qint64 durationMs, const QByteArray& standardError) {
    QString entry = QStringLiteral("\n$ %1\n  %2 after %3 s\n")
                        .arg(commandLine(program, arguments), ending)
                        .arg(double(durationMs) / 1000.0, 0, 'f', 2);
    if (!standardError.isEmpty()) {
        // ffmpeg rewrites its progress line with carriage returns; a log
        // reads better with one report per line.
        QString text = QString::fromUtf8(standardError);
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        entry += QStringLiteral("  standard error:\n") + text.trimmed() + QLatin1Char('\n');
    }
    write(entry);
}

void RunLog::write(const QString& text) {
    QMutexLocker lock(&mutex_);
    if (!file_.isOpen())
        return;
    file_.write(text.toUtf8());
    file_.flush();
}
