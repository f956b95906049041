#include "ConversionQueue.h"

#include "ProgressTexts.h"
#include "core/UserTexts.h"
#include "session/ConversionSession.h"
#include "session/SettingsValidator.h"
#include "tools/VideoEncoder.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <utility>

namespace zev {

struct ConversionQueue::Line {
    quint64 id = 0;
    QString path;
    // The same item however it was named: two runs of it would meet at
    // the folder's lock.
    QString key;
    std::optional<ConversionSettings> settings;
    State state = State::Waiting;
    std::optional<ConversionProgress> progress;
    ConversionOutcome outcome;
};

// One place a line runs in. The line stays the runner's until its session
// has ended the busy state, so the next run never finds the session busy.
struct ConversionQueue::Runner {
    ConversionSession session;
    quint64 lineId = 0;
};

namespace {

QString itemKey(const QString& path) {
    const QFileInfo item(path);
    const QString canonical = item.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(item.absoluteFilePath()) : canonical;
}

bool hasEnded(ConversionQueue::State state) {
    return state != ConversionQueue::State::Waiting && state != ConversionQueue::State::Converting;
}

ConversionQueue::State stateAfter(const ConversionOutcome& outcome) {
    switch (outcome.kind) {
    case ConversionOutcome::Kind::Succeeded:
        return ConversionQueue::State::Done;
    case ConversionOutcome::Kind::Cancelled:
        return ConversionQueue::State::Cancelled;
    case ConversionOutcome::Kind::Failed:
        break;
    }
    return ConversionQueue::State::Failed;
}

} // namespace

ConversionQueue::ConversionQueue(QObject* parent)
    : QAbstractTableModel(parent)
    , parallelRuns_(defaultParallelRuns()) {}

// The runs stop and are waited for before the lines they report to go.
ConversionQueue::~ConversionQueue() {
    runners_.clear();
}

int ConversionQueue::defaultParallelRuns() {
    return QThread::idealThreadCount() >= 4 ? 2 : 1;
}

void ConversionQueue::setParallelRuns(int runs) {
    parallelRuns_ = std::clamp(runs, 1, 2);
    startWaiting();
}

int ConversionQueue::add(const QStringList& paths, const FrontEndInputs& inputs,
                         const ConversionSettings& tools) {
    const int before = rowCount();
    for (const QString& path : paths)
        addLine(path, inputs, tools);
    updateBusy();
    startWaiting();
    finishIfIdle();
    return rowCount() - before;
}

void ConversionQueue::addLine(const QString& path, const FrontEndInputs& inputs,
                              const ConversionSettings& tools) {
    const QString key = itemKey(path);
    if (isQueued(key))
        return;
    SettingsValidator validator;
    validator.setConvertPath(tools.convertPath);
    validator.setFfmpegPath(tools.ffmpegPath);
    validator.setFfprobePath(tools.ffprobePath);
    FrontEndInputs itemInputs = inputs;
    itemInputs.folderText = path;
    // The packed frames kept are those of the one folder the window shows.
    itemInputs.cacheTicked = false;
    const Result<ConversionSettings> checked = validator.validate(itemInputs);

    Line line;
    line.id = nextId_++;
    line.path = path;
    line.key = key;
    if (checked)
        line.settings = *checked;
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    lines_.push_back(std::move(line));
    endInsertRows();
    if (!checked)
        endLine(lines_.back(), ConversionOutcome::failure(checked.reason()));
}

bool ConversionQueue::isQueued(const QString& key) const {
    return std::any_of(lines_.cbegin(), lines_.cend(),
                       [&key](const Line& line) { return line.key == key && !hasEnded(line.state); });
}

bool ConversionQueue::isBusy() const {
    const bool lineRuns =
        std::any_of(lines_.cbegin(), lines_.cend(), [](const Line& line) { return !hasEnded(line.state); });
    return lineRuns || std::any_of(runners_.cbegin(), runners_.cend(),
                                   [](const std::unique_ptr<Runner>& runner) { return runner->lineId != 0; });
}

int ConversionQueue::count(State state) const {
    return int(std::count_if(lines_.cbegin(), lines_.cend(),
                             [state](const Line& line) { return line.state == state; }));
}

// In queue order, as long as a runner is free.
void ConversionQueue::startWaiting() {
    for (Line& line : lines_) {
        if (line.state != State::Waiting)
            continue;
        std::size_t slot = 0;
        while (slot < std::size_t(parallelRuns_) && slot < runners_.size() && runners_[slot]->lineId != 0)
            ++slot;
        if (slot == std::size_t(parallelRuns_))
            return;
        startOn(slot, line);
    }
}

ConversionQueue::Runner& ConversionQueue::runner(std::size_t slot) {
    while (runners_.size() <= slot) {
        const std::size_t made = runners_.size();
        auto runner = std::make_unique<Runner>();
        ConversionSession* session = &runner->session;
        connect(session, &ConversionSession::progressChanged, this,
                [this, made](const ConversionProgress& progress) {
                    lineProgressed(runners_[made]->lineId, progress);
                });
        connect(
            session, &ConversionSession::outcomeReady, this,
            [this, made](const ConversionOutcome& outcome) { lineEnded(runners_[made]->lineId, outcome); });
        connect(session, &ConversionSession::busyChanged, this, [this, made](bool busy) {
            if (!busy)
                runnerFreed(made);
        });
        runners_.push_back(std::move(runner));
    }
    return *runners_[slot];
}

void ConversionQueue::startOn(std::size_t slot, Line& line) {
    Runner& chosen = runner(slot);
    chosen.lineId = line.id;
    line.state = State::Converting;
    lineChanged(rowOf(line.id));
    if (!chosen.session.start(*line.settings)) {
        chosen.lineId = 0;
        endLine(line, ConversionOutcome::failure(UserTexts::kConversionFailed,
                                                 Result<>::failure(tr("the conversion did not start"))));
    }
}

void ConversionQueue::lineProgressed(quint64 id, const ConversionProgress& progress) {
    const int row = rowOf(id);
    if (row < 0)
        return;
    lines_[std::size_t(row)].progress = progress;
    const QModelIndex state = index(row, StateColumn);
    Q_EMIT dataChanged(state, state);
}

void ConversionQueue::lineEnded(quint64 id, const ConversionOutcome& outcome) {
    const int row = rowOf(id);
    if (row >= 0 && lines_[std::size_t(row)].state == State::Converting)
        endLine(lines_[std::size_t(row)], outcome);
}

void ConversionQueue::runnerFreed(std::size_t slot) {
    const quint64 id = std::exchange(runners_[slot]->lineId, 0);
    const int row = rowOf(id);
    // Every run sends its outcome before it ends; one that did not must
    // not pass for a success or hold the queue up.
    if (row >= 0 && lines_[std::size_t(row)].state == State::Converting)
        endLine(lines_[std::size_t(row)],
                ConversionOutcome::failure(UserTexts::kConversionFailed,
                                           Result<>::failure(tr("the conversion ended without a message"))));
    startWaiting();
    finishIfIdle();
}

void ConversionQueue::endLine(Line& line, const ConversionOutcome& outcome) {
    line.outcome = outcome;
    line.state = stateAfter(outcome);
    summary_.add(displayName(line.path), outcome);
    lineChanged(rowOf(line.id));
}

void ConversionQueue::finishIfIdle() {
    if (isBusy())
        return;
    if (!summary_.isEmpty())
        Q_EMIT finished(std::exchange(summary_, QueueSummary()));
    updateBusy();
}

void ConversionQueue::updateBusy() {
    const bool busy = isBusy();
    if (busy == busy_)
        return;
    busy_ = busy;
    Q_EMIT busyChanged(busy);
}

void ConversionQueue::cancel(int row) {
    if (state(row) != State::Converting)
        return;
    const quint64 id = lines_[std::size_t(row)].id;
    for (const std::unique_ptr<Runner>& runner : runners_) {
        if (runner->lineId == id)
            runner->session.cancel();
    }
}

void ConversionQueue::cancelAll() {
    for (Line& line : lines_) {
        if (line.state == State::Waiting)
            endLine(line, ConversionOutcome::cancelled());
    }
    for (int row = 0; row < rowCount(); ++row)
        cancel(row);
    finishIfIdle();
}

bool ConversionQueue::canRemove(int row) const {
    return row >= 0 && row < rowCount() && state(row) != State::Converting;
}

bool ConversionQueue::remove(int row) {
    if (!canRemove(row))
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    lines_.erase(lines_.begin() + row);
    endRemoveRows();
    finishIfIdle();
    return true;
}

void ConversionQueue::clearFinished() {
    for (int row = rowCount() - 1; row >= 0; --row) {
        if (hasEnded(lines_[std::size_t(row)].state))
            remove(row);
    }
}

ConversionQueue::State ConversionQueue::state(int row) const {
    return lines_.at(std::size_t(row)).state;
}

QString ConversionQueue::path(int row) const {
    return lines_.at(std::size_t(row)).path;
}

std::optional<ConversionSettings> ConversionQueue::settings(int row) const {
    return lines_.at(std::size_t(row)).settings;
}

ConversionProgress ConversionQueue::progress(int row) const {
    return lines_.at(std::size_t(row)).progress.value_or(ConversionProgress());
}

ConversionOutcome ConversionQueue::outcome(int row) const {
    return lines_.at(std::size_t(row)).outcome;
}

int ConversionQueue::rowOf(quint64 id) const {
    for (std::size_t row = 0; row < lines_.size(); ++row) {
        if (lines_[row].id == id)
            return int(row);
    }
    return -1;
}

void ConversionQueue::lineChanged(int row) {
    if (row >= 0)
        Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

QString ConversionQueue::waitingText() {
    return tr("Waiting");
}

QString ConversionQueue::convertingText(const std::optional<ConversionProgress>& progress) {
    if (!progress)
        return tr("Converting…");
    const int percent = int(std::floor(std::clamp(progress->fraction, 0.0, 1.0) * 100.0));
    return tr("Converting: %1, %2%").arg(ProgressTexts::stageText(*progress), QString::number(percent));
}

QString ConversionQueue::doneText() {
    return tr("Done");
}

QString ConversionQueue::failedText(const ConversionOutcome& outcome) {
    if (outcome.reason.isEmpty())
        return tr("Failed: %1").arg(outcome.message);
    return tr("Failed: %1 %2").arg(outcome.message, outcome.reason);
}

QString ConversionQueue::cancelledText() {
    return tr("Cancelled");
}

QString ConversionQueue::displayName(const QString& path) {
    const QString name = QFileInfo(QDir::cleanPath(path)).fileName();
    return name.isEmpty() ? path : name;
}

QString ConversionQueue::stateText(const Line& line) const {
    switch (line.state) {
    case State::Waiting:
        return waitingText();
    case State::Converting:
        return convertingText(line.progress);
    case State::Done:
        return doneText();
    case State::Failed:
        return failedText(line.outcome);
    case State::Cancelled:
        return cancelledText();
    }
    return QString();
}

// The whole story where the column has room for a line of it only.
QString ConversionQueue::stateToolTip(const Line& line) const {
    QStringList parts{stateText(line)};
    const ConversionOutcome& outcome = line.outcome;
    if (line.state == State::Done && !outcome.warning.isEmpty())
        parts.append(outcome.warning);
    if (line.state == State::Failed && !outcome.logPath.isEmpty())
        parts.append(tr("Log: %1").arg(outcome.logPath));
    return parts.join(u'\n');
}

int ConversionQueue::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.size());
}

int ConversionQueue::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ConversionQueue::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Line& line = lines_[std::size_t(index.row())];
    const QString video =
        line.state == State::Done ? VideoEncoder::videoPath(line.outcome.outputFolder) : QString();
    switch (role) {
    case StateRole:
        return int(line.state);
    case FractionRole:
        return line.state == State::Done ? 1.0 : line.progress.value_or(ConversionProgress()).fraction;
    case PathRole:
        return line.path;
    case OutputFolderRole:
        return line.state == State::Done ? line.outcome.outputFolder : QString();
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        break;
    default:
        return {};
    }
    const bool tip = role == Qt::ToolTipRole;
    switch (index.column()) {
    case NameColumn:
        return tip ? line.path : displayName(line.path);
    case StateColumn:
        return tip ? stateToolTip(line) : stateText(line);
    case OutputColumn:
        return video;
    default:
        return {};
    }
}

QVariant ConversionQueue::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return tr("Name");
    case StateColumn:
        return tr("State");
    case OutputColumn:
        return tr("Output");
    default:
        return {};
    }
}

} // namespace zev
