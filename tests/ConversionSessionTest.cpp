#include "session/ConversionSession.h"

#include "HangingEncoder.h"
#include "ParamName.h"
#include "StagedRunTest.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zev;

namespace {

class ConversionSessionTest : public StagedRunTest {
protected:
    HangingEncoder hangingEncoder{folder.path()};
};

// One run as the session reports it: the events in order, and whether the
// session's busy flag was already stored when each busy change arrived.
struct OrderCase {
    const char* title;
    bool express;
    bool emptyFolder;
    bool cancel;
    QStringList events; // "<output>" stands for the output folder
};

class EventOrder : public ConversionSessionTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(EventOrder, OutcomeThenCacheThenBusyEndAtLeast100msLater) {
    const OrderCase c = GetParam();
    front->inputs.expressTicked = c.express;
    if (c.emptyFolder)
        front->inputs.folderText = folder.makeFolder("empty");
    if (c.cancel)
        front->validator.setFfmpegPath(hangingEncoder.path());
    QStringList flagSeen;
    QElapsedTimer sinceOutcome;
    qint64 outcomeToBusyEnd = -1;
    QObject::connect(&front->session, &ConversionSession::busyChanged, front.get(), [&](bool busy) {
        flagSeen.append(front->session.inConverting() == busy ? "stored" : "not stored");
        if (!busy && sinceOutcome.isValid())
            outcomeToBusyEnd = sinceOutcome.elapsed();
    });
    QObject::connect(&front->session, &ConversionSession::outcomeReady, front.get(),
                     [&]() { sinceOutcome.start(); });

    ASSERT_TRUE(front->convertBtnClicked());
    if (c.cancel) {
        ASSERT_TRUE(waitFor([&]() { return hangingEncoder.isRunning(); }));
        front->session.cancel();
    }
    ASSERT_TRUE(waitFor([&]() { return !front->inConverting(); }));

    QStringList expected = c.events;
    expected.replaceInStrings("<output>", frames() + "/output");
    EXPECT_EQ(front->events(), expected);
    EXPECT_EQ(flagSeen, (QStringList{"stored", "stored"}));
    EXPECT_GE(outcomeToBusyEnd, 100) << "the busy state ends at least 100 ms after the outcome";
    EXPECT_TRUE(front->allOnMainThread());
}

INSTANTIATE_TEST_SUITE_P(
    Runs, EventOrder,
    ::testing::Values(
        OrderCase{"full run", false, false, false, {"busy:1", "success:<output>", "cache-enabled", "busy:0"}},
        OrderCase{
            "express run leaves no cache", true, false, false, {"busy:1", "success:<output>", "busy:0"}},
        OrderCase{"refused folder", false, true, false, {"busy:1", "error:文件夹下没有 png 图片.", "busy:0"}},
        OrderCase{"cancelled", false, false, true, {"busy:1", "busy:0"}}),
    ParamName());

TEST_F(ConversionSessionTest, SecondStartWhileBusyIsIgnoredWithoutAWord) {
    ASSERT_TRUE(front->convertBtnClicked());
    ConversionSettings other = front->validator.settings();
    other.sourceImageFolder = folder.makeFolder("other");

    EXPECT_FALSE(front->session.start(other));
    EXPECT_EQ(front->events(), QStringList{"busy:1"});

    ASSERT_TRUE(waitFor([&]() { return !front->inConverting(); }));
    EXPECT_EQ(front->events(),
              (QStringList{"busy:1", "success:" + frames() + "/output", "cache-enabled", "busy:0"}));
    EXPECT_FALSE(QFileInfo::exists(other.outputFolder()));
}

// The front end (and its session) goes while its run is in the middle of
// encoding, or between the outcome and the end of the busy state: the tools
// stop, nothing half-written stays, and nothing left over runs afterwards.
struct DestroyedCase {
    const char* title;
    bool afterOutcome;
};

class DestroyedMidRun : public ConversionSessionTest, public ::testing::WithParamInterface<DestroyedCase> {};

TEST_P(DestroyedMidRun, StopsItsToolsAndLeavesNothingBehind) {
    if (!GetParam().afterOutcome)
        front->validator.setFfmpegPath(hangingEncoder.path());
    ASSERT_TRUE(front->convertBtnClicked());
    ASSERT_TRUE(waitFor([&]() {
        return GetParam().afterOutcome ? !front->outcomes().isEmpty() : hangingEncoder.isRunning();
    }));
    ASSERT_TRUE(front->inConverting());

    front.reset();
    // Whatever the run had queued must find nothing to call.
    QDeadlineTimer settle(300);
    while (!settle.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    EXPECT_FALSE(hangingEncoder.isRunning());
    EXPECT_EQ(QFileInfo::exists(video()), GetParam().afterOutcome) << "only a finished video stays";
}

INSTANTIATE_TEST_SUITE_P(Moments, DestroyedMidRun,
                         ::testing::Values(DestroyedCase{"while encoding", false},
                                           DestroyedCase{"after the outcome", true}),
                         ParamName());

} // namespace
