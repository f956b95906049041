#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <mutex>

namespace zev {

// The record of one conversion that a user (or a bug report) can read
// afterwards: every tool's full command line, how it ended, how long it
// took and what it wrote to its standard error. Every run has a file of its
// own, named by its start time, its frame folder's name and the process,
// "$XDG_STATE_HOME/zev/runs/2026-12-07T18-30-05.123_walk_4242.log"
// (~/.local/state when unset), so runs side by side never write into or
// rename each other's log. The last kKeptRuns logs are kept;
// "$XDG_STATE_HOME/zev/last-run.log" is a link to the newest.
//
// Tools run on many threads at once, so every entry is written whole under a
// lock. A log that cannot be written costs the conversion nothing.
class RunLog {
public:
    static constexpr int kKeptRuns = 30;

    // Starts a new log for a run of frameFolder, removing the oldest beyond
    // kKeptRuns; title heads it.
    RunLog(const QString& title, const QString& frameFolder);
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    QString path() const { return path_; }
    bool isOpen() const;

    void note(const QString& line);
    void toolRun(const QString& program, const QStringList& arguments, const QString& ending,
                 qint64 durationMs, const QByteArray& standardError);

    static QString folder();
    static QString runsFolder();
    // "<start time>_<folder name>_<pid>", without characters a shell or
    // another file system would trip over.
    static QString baseName(const QDateTime& start, const QString& frameFolder, qint64 pid);
    // The command line as a shell user would type it, for reading only.
    static QString commandLine(const QString& program, const QStringList& arguments);

private:
    void write(const QString& text);
    static void removeOldest(const QString& runs);
    static void pointLatestAt(const QString& dir, const QString& log);

    QString path_;
    std::mutex mutex_;
    QFile file_;
};

} // namespace zev
