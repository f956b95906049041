#include "ConversionQueue.h"

#include "HangingEncoder.h"
#include "ParamName.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "core/UserTexts.h"
#include "session/SettingsValidator.h"
#include "tools/VideoEncoder.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace zev;

namespace {

using State = ConversionQueue::State;

bool waitFor(const std::function<bool()>& condition, int timeoutMs = 120000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

ConversionSettings stagedTools() {
    ConversionSettings tools = ConversionSettings::defaults();
    tools.convertPath = QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert");
    tools.ffmpegPath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg");
    tools.ffprobePath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
    return tools;
}

FrontEndInputs inputsWith(bool express, const QString& fpsText = QStringLiteral("20")) {
    FrontEndInputs inputs;
    inputs.fpsText = fpsText;
    inputs.sliderValue = SettingsValidator::kLowPreset;
    inputs.expressTicked = express;
    return inputs;
}

// What the queue tells, and how many lines it ran at once.
struct QueueWatch {
    explicit QueueWatch(ConversionQueue& queue) {
        QObject::connect(&queue, &ConversionQueue::busyChanged, &queue,
                         [this](bool busy) { busyChanges.append(busy); });
        QObject::connect(&queue, &ConversionQueue::finished, &queue,
                         [this](const QueueSummary& summary) { summaries.append(summary); });
        QObject::connect(&queue, &QAbstractItemModel::dataChanged, &queue, [this, &queue]() {
            mostConverting = std::max(mostConverting, queue.count(State::Converting));
            for (int row = 0; row < queue.rowCount(); ++row) {
                if (queue.state(row) == State::Converting && !started.contains(queue.path(row)))
                    started.append(queue.path(row));
            }
        });
    }
    bool ended() const { return !summaries.isEmpty(); }

    QList<bool> busyChanges;
    QList<QueueSummary> summaries;
    QStringList started;
    int mostConverting = 0;
};

class ConversionQueueTest : public ::testing::Test {
protected:
    QString frames(const QString& name, int count = 3) const {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(TestFrames::writeSequence(path, count, 8, 6));
        return path;
    }
    // 0.png, 1.png and 3.png: refused by the scanner after the run started.
    QString framesWithAGap(const QString& name) const {
        const QString path = frames(name, 2);
        EXPECT_TRUE(TestFrames::writeFrame(path + QStringLiteral("/3.png"), 8, 6));
        return path;
    }

    ScratchEnvironment scratch;
    TemporaryFolder folder;
};

struct RunCase {
    const char* title;
    int parallelRuns;
    bool express;
};

void PrintTo(const RunCase& c, std::ostream* out) {
    *out << c.title;
}

class Runs : public ConversionQueueTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(Runs, ConvertInQueueOrderAndSummariseOnce) {
    const RunCase c = GetParam();
    ConversionQueue queue;
    queue.setParallelRuns(c.parallelRuns);
    QueueWatch watch(queue);
    const QStringList paths = {frames("walk"), framesWithAGap("gap"), frames("jump")};

    EXPECT_EQ(queue.add(paths, inputsWith(c.express), stagedTools()), 3);
    EXPECT_TRUE(queue.isBusy());
    ASSERT_TRUE(waitFor([&]() { return watch.ended() && !queue.isBusy(); }));

    EXPECT_EQ(watch.started, paths) << "queue order";
    EXPECT_EQ(watch.mostConverting, c.parallelRuns);
    EXPECT_EQ(watch.busyChanges, (QList<bool>{true, false}));
    ASSERT_EQ(watch.summaries.size(), 1);
    EXPECT_EQ(watch.summaries[0].succeeded(), 2);
    EXPECT_EQ(watch.summaries[0].failed(), 1);
    const std::vector<State> states = {State::Done, State::Failed, State::Done};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(queue.state(row), states[std::size_t(row)]) << row;
        const QString video = queue.index(row, ConversionQueue::OutputColumn).data().toString();
        EXPECT_EQ(video,
                  row == 1 ? QString() : VideoEncoder::videoPath(paths[row] + QStringLiteral("/output")));
        EXPECT_EQ(QFile::exists(paths[row] + QStringLiteral("/output/zev.mp4")), row != 1);
    }
    EXPECT_EQ(queue.outcome(1).message, UserTexts::kFramesNotConsecutive);
    EXPECT_TRUE(queue.index(1, ConversionQueue::StateColumn)
                    .data()
                    .toString()
                    .contains(UserTexts::kFramesNotConsecutive));
}

INSTANTIATE_TEST_SUITE_P(ConversionQueueTest, Runs,
                         ::testing::Values(RunCase{"one_at_a_time", 1, false},
                                           RunCase{"two_at_once_express", 2, true}),
                         ParamName());

// Changing the controls after a drop changes nothing for what was queued.
TEST_F(ConversionQueueTest, EachLineKeepsTheSettingsOfItsDrop) {
    ConversionQueue queue;
    queue.setParallelRuns(1);
    FrontEndInputs first = inputsWith(false);
    first.cacheTicked = true;
    FrontEndInputs second = inputsWith(true, QStringLiteral("30"));
    second.sliderValue = SettingsValidator::kVeryHighPreset;
    second.output.crf = 18;
    ConversionSettings otherTools = stagedTools();
    otherTools.ffmpegPath = HangingEncoder(folder.path()).path();

    queue.add({frames("walk")}, first, stagedTools());
    queue.add({frames("jump")}, second, otherTools);

    const ConversionSettings walk = *queue.settings(0);
    const ConversionSettings jump = *queue.settings(1);
    EXPECT_EQ(walk.sourceImageFolder, folder.filePath("walk"));
    EXPECT_EQ(walk.fps, 20);
    EXPECT_EQ(walk.rate, 1100);
    EXPECT_FALSE(walk.useCache) << "a queued run never reuses the shown folder's packed frames";
    EXPECT_FALSE(walk.express);
    EXPECT_EQ(walk.ffmpegPath, stagedTools().ffmpegPath);
    EXPECT_EQ(jump.fps, 30);
    EXPECT_EQ(jump.rate, 3100);
    EXPECT_TRUE(jump.express);
    EXPECT_EQ(jump.output.crf, 18);
    EXPECT_EQ(jump.ffmpegPath, otherTools.ffmpegPath);
    queue.cancelAll();
    EXPECT_TRUE(waitFor([&]() { return !queue.isBusy(); }));
}

TEST_F(ConversionQueueTest, AnItemWaitingOrConvertingIsNotQueuedTwice) {
    ConversionQueue queue;
    const QString walk = frames("walk");
    EXPECT_EQ(
        queue.add({walk, walk + QStringLiteral("/../walk"), walk + u'/'}, inputsWith(true), stagedTools()),
        1);
    EXPECT_EQ(queue.add({walk}, inputsWith(true), stagedTools()), 0);
    ASSERT_TRUE(waitFor([&]() { return !queue.isBusy(); }));
    EXPECT_EQ(queue.add({walk}, inputsWith(true), stagedTools()), 1) << "once ended, it may run again";
    ASSERT_TRUE(waitFor([&]() { return !queue.isBusy(); }));
    EXPECT_EQ(queue.state(1), State::Done);
}

// A removed line never runs; a cancelled one lets the next start; at the end
// the cancelled and the never-started count as cancelled.
TEST_F(ConversionQueueTest, RemoveWaitingCancelCurrentThenCancelTheRest) {
    const HangingEncoder encoder(folder.path());
    ConversionSettings tools = stagedTools();
    tools.ffmpegPath = encoder.path();
    ConversionQueue queue;
    queue.setParallelRuns(1);
    QueueWatch watch(queue);
    const QStringList paths = {frames("a"), frames("b"), frames("c"), frames("d")};
    queue.add(paths, inputsWith(true), tools);
    ASSERT_TRUE(waitFor([&]() { return encoder.isRunning(); }));

    EXPECT_FALSE(queue.canRemove(0));
    EXPECT_FALSE(queue.remove(0)) << "a converting line stays";
    EXPECT_TRUE(queue.remove(1));
    EXPECT_EQ(queue.rowCount(), 3);
    queue.cancel(0);
    ASSERT_TRUE(waitFor([&]() { return queue.state(1) == State::Converting && encoder.isRunning(); }));
    EXPECT_EQ(queue.state(0), State::Cancelled);
    EXPECT_EQ(queue.state(2), State::Waiting);
    queue.cancelAll();
    ASSERT_TRUE(waitFor([&]() { return watch.ended() && !queue.isBusy(); }));

    EXPECT_FALSE(encoder.isRunning());
    EXPECT_EQ(watch.started, (QStringList{paths[0], paths[2]}));
    ASSERT_EQ(watch.summaries.size(), 1);
    EXPECT_EQ(watch.summaries[0].cancelled(), 3);
    EXPECT_EQ(watch.summaries[0].total(), 3) << "the removed line is not counted";
    for (const QString& path : paths)
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("/output/zev.mp4"))) << path.toStdString();
    queue.clearFinished();
    EXPECT_EQ(queue.rowCount(), 0);
}

} // namespace
