#pragma once

#include "QueueSummary.h"
#include "pipeline/ConversionOutcome.h"
#include "pipeline/ConversionProgress.h"
#include "pipeline/ConversionSettings.h"
#include "session/FrontEndInputs.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace zev {

class ConversionSession;

// The window's queue: items dropped or chosen together, each converted with
// the settings of the moment it was queued. Every item the settings check
// accepts can be queued (today frame folders); one it refuses becomes a
// failed line with the check's message at once.
//
// Lines start in the order they were queued, one at a time or, with
// parallelRuns() at 2, two at once. Each run has a conversion session of its
// own, so runs share nothing but the engine's locks (a folder is never
// converted twice at once). When nothing is left waiting or converting, the
// queue tells how it went once (finished), then that it is idle.
//
// As a model: one row per line, the columns below; the display texts are in
// the window's language. Main thread only, like the sessions it holds.
class ConversionQueue : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NameColumn, StateColumn, OutputColumn, ColumnCount };
    enum class State { Waiting, Converting, Done, Failed, Cancelled };
    enum Role {
        StateRole = Qt::UserRole + 1, // State as an int
        FractionRole,                 // the run's progress, 0 to 1
        PathRole,                     // the queued item, as given
        OutputFolderRole,             // the folder holding the video, once written
    };

    explicit ConversionQueue(QObject* parent = nullptr);
    ~ConversionQueue() override;
    ConversionQueue(const ConversionQueue&) = delete;
    ConversionQueue& operator=(const ConversionQueue&) = delete;

    // Two runs at once on a machine with at least four cores, else one: each
    // run keeps two cores busy in its image stages.
    static int defaultParallelRuns();
    int parallelRuns() const { return parallelRuns_; }
    // 1 or 2; counts from the next start on.
    void setParallelRuns(int runs);

    // Queues each path with inputs (its folder text replaced by the path)
    // and the tools named in tools, and starts what may start. A path that
    // is already waiting or converting is not queued twice. Answers how many
    // lines were added.
    int add(const QStringList& paths, const FrontEndInputs& inputs, const ConversionSettings& tools);

    // Whether a line is waiting or converting.
    bool isBusy() const;
    int count(State state) const;

    State state(int row) const;
    QString path(int row) const;
    // What the run was given; none for a line the settings check refused.
    std::optional<ConversionSettings> settings(int row) const;
    ConversionProgress progress(int row) const;
    // How the line ended; meaningful once it has.
    ConversionOutcome outcome(int row) const;

    // Stops a converting line; it ends cancelled and the next one starts.
    void cancel(int row);
    // Stops every converting line and cancels every waiting one.
    void cancelAll();
    bool canRemove(int row) const;
    // Takes a line that is not converting out of the queue; a waiting one
    // then never runs and is not counted. Answers whether it was taken.
    bool remove(int row);
    // Removes every line that has ended.
    void clearFinished();

    // The texts of a line's state, as the state column shows them.
    static QString waitingText();
    static QString convertingText(const std::optional<ConversionProgress>& progress);
    static QString doneText();
    static QString failedText(const ConversionOutcome& outcome);
    static QString cancelledText();
    // The name column: the item's own name, the whole path for "/".
    static QString displayName(const QString& path);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // Every line that ended since the queue last got work has ended, and
    // nothing waits: how they went. Sent before busyChanged(false).
    void finished(const zev::QueueSummary& summary);
    void busyChanged(bool busy);

private:
    struct Line;
    struct Runner;

    void addLine(const QString& path, const FrontEndInputs& inputs, const ConversionSettings& tools);
    bool isQueued(const QString& key) const;
    void startWaiting();
    Runner& runner(std::size_t slot);
    void startOn(std::size_t slot, Line& line);
    void lineProgressed(quint64 id, const ConversionProgress& progress);
    void lineEnded(quint64 id, const ConversionOutcome& outcome);
    void runnerFreed(std::size_t slot);
    void endLine(Line& line, const ConversionOutcome& outcome);
    void finishIfIdle();
    void updateBusy();
    int rowOf(quint64 id) const;
    void lineChanged(int row);
    QString stateText(const Line& line) const;
    QString stateToolTip(const Line& line) const;

    std::vector<Line> lines_;
    quint64 nextId_ = 1;
    int parallelRuns_ = 1;
    bool busy_ = false;
    QueueSummary summary_;
    // Last: the sessions go first, each stopping its run and waiting for it.
    std::vector<std::unique_ptr<Runner>> runners_;
};

} // namespace zev
