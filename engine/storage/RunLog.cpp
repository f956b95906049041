#include "storage/RunLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace zev {

namespace {

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

RunLog::RunLog(const QString& title, const QString& frameFolder) {
    const QString dir = folder();
    const QString runs = runsFolder();
    if (!QDir().mkpath(runs))
        return;
    const QDateTime start = QDateTime::currentDateTime();
    const QString name = baseName(start, frameFolder, QCoreApplication::applicationPid());
    // Two runs of one process in the same millisecond get "-2", "-3" ….
    for (int copy = 1; copy < 100 && !file_.isOpen(); ++copy) {
        path_ = runs + u'/' + name + (copy > 1 ? QStringLiteral("-%1").arg(copy) : QString()) +
                QStringLiteral(".log");
        file_.setFileName(path_);
        file_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Text);
    }
    if (!file_.isOpen())
        return;
    // Held while this run lives, so no other run removes its log meanwhile.
    ::flock(file_.handle(), LOCK_EX | LOCK_NB);
    removeOldest(runs);
    pointLatestAt(dir, path_);
    write(QStringLiteral("%1 %2\n").arg(start.toString(Qt::ISODate), title));
}

QString RunLog::runsFolder() {
    return folder() + QStringLiteral("/runs");
}

QString RunLog::baseName(const QDateTime& start, const QString& frameFolder, qint64 pid) {
    static const QRegularExpression awkward(QStringLiteral("[^A-Za-z0-9._+-]+"));
    QString folderName = QFileInfo(QDir::cleanPath(frameFolder)).fileName();
    folderName.replace(awkward, QStringLiteral("-"));
    folderName = folderName.left(60);
    if (folderName.isEmpty() || folderName.startsWith(u'.'))
        folderName.prepend(u'f');
    return QStringLiteral("%1_%2_%3")
        .arg(start.toString(QStringLiteral("yyyy-MM-ddTHH-mm-ss.zzz")), folderName)
        .arg(pid);
}

// The names begin with the start time, so their order is the runs' order.
// The log of a run that still goes on stays, however old.
void RunLog::removeOldest(const QString& runs) {
    const QDir dir(runs);
    const QStringList logs = dir.entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + kKeptRuns < logs.size(); ++i) {
        const QByteArray path = QFile::encodeName(dir.filePath(logs.at(i)));
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
}

// A new link renamed over the old one, so the name is never missing.
void RunLog::pointLatestAt(const QString& dir, const QString& log) {
    const QString latest = dir + QStringLiteral("/last-run.log");
    const QString fresh = latest + QStringLiteral(".%1").arg(QCoreApplication::applicationPid());
    QFile::remove(fresh);
    const QString relative = QDir(dir).relativeFilePath(log);
    if (::symlink(QFile::encodeName(relative).constData(), QFile::encodeName(fresh).constData()) != 0)
        return;
    if (::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(latest).constData()) != 0)
        QFile::remove(fresh);
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
    const std::lock_guard lock(mutex_);
    if (!file_.isOpen())
        return;
    file_.write(text.toUtf8());
    file_.flush();
}

} // namespace zev
