#pragma once

#include <QFile>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The record of one conversion that a user (or a bug report) can read
// afterwards: every tool's full command line, how it ended, how long it
// took and what it wrote to its standard error. Written to
// $XDG_STATE_HOME/zev/last-run.log (~/.local/state when unset); the logs of
// the runs before are kept as last-run.1.log … last-run.<kKeptRuns-1>.log.
//
// Tools run on many threads at once, so every entry is written whole under a
// lock. A log that cannot be written costs the conversion nothing.
class RunLog {
public:
    static constexpr int kKeptRuns = 5;

    // Starts a new log, moving the older ones down; title heads it.
    explicit RunLog(const QString& title);
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    QString path() const { return path_; }
    bool isOpen() const;

    void note(const QString& line);
    void toolRun(const QString& program, const QStringList& arguments, const QString& ending,
                 qint64 durationMs, const QByteArray& standardError);

    static QString folder();
    // The command line as a shell user would type it, for reading only.
    static QString commandLine(const QString& program, const QStringList& arguments);

private:
    void write(const QString& text);

    QString path_;
    QMutex mutex_;
    QFile file_;
};
