#include "DesktopPortalEnvironment.h"
#include "FakeNotificationServer.h"
#include "HangingEncoder.h"
#include "ParamName.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "ViewController.h"
#include "WindowFixture.h"
#include "ZEVDragView.h"
#include "ZEVQueueView.h"
#include "core/UserTexts.h"
#include "tools/VideoEncoder.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zev;

namespace {

using State = ConversionQueue::State;

constexpr int kConversionTimeoutMs = 120000;

[[maybe_unused]] const auto* const kBusEnvironment =
    ::testing::AddGlobalTestEnvironment(new DesktopPortalEnvironment);

// Drags the items over the folder panel and releases them there, as a file
// manager does: one drag carrying every item's URL.
void drop(ViewController& window, const QStringList& paths) {
    auto* panel = control<ZEVDragView>(window, "bgView1");
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    QMimeData mimeData;
    mimeData.setUrls(urls);
    const Qt::DropActions allowed = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    const QPoint centre = panel->rect().center();
    QDragEnterEvent enter(centre, allowed, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent release(centre, allowed, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(panel, &release);
}

void select(ZEVQueueView& view, int row) {
    view.lines()->selectionModel()->select(view.queue()->index(row, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QueueSummary summaryOf(int succeeded, int failed, int cancelled) {
    QueueSummary summary;
    for (int i = 0; i < succeeded; ++i)
        summary.add(QStringLiteral("done"), ConversionOutcome::success(QStringLiteral("/output")));
    for (int i = 0; i < failed; ++i)
        summary.add(QStringLiteral("failed"), ConversionOutcome::failure(UserTexts::kConversionFailed));
    for (int i = 0; i < cancelled; ++i)
        summary.add(QStringLiteral("cancelled"), ConversionOutcome::cancelled());
    return summary;
}

class ViewControllerQueueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(DesktopPortalEnvironment::portal->isRunning()); }

    QString frames(const QString& name, int count = 3) const {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(TestFrames::writeSequence(path, count, 8, 6));
        return path;
    }

    ScratchEnvironment scratch;
    TemporaryFolder folder;
    FakeNotificationServer notifications{DesktopPortalEnvironment::portal->busAddress()};
};

// The whole road: three folders in one drop, one of them with a gap, run one
// after another with the staged tools, each line showing how it went, and
// one alert for all three. The window is not in front, so the desktop hears
// of it too.
TEST_F(ViewControllerQueueTest, ThreeDroppedFoldersRunInTurnAndEndInOneAlert) {
    ASSERT_TRUE(notifications.publish());
    const QString gap = frames(QStringLiteral("gap"), 2);
    ASSERT_TRUE(TestFrames::writeFrame(gap + QStringLiteral("/3.png"), 8, 6));
    const QStringList paths = {frames(QStringLiteral("walk")), gap, frames(QStringLiteral("跳 jump"))};
    ViewController window;
    window.conversionQueue().setParallelRuns(1);
    control<QPushButton>(window, "highButton")->click();
    auto* view = control<ZEVQueueView>(window, "queueView");
    EXPECT_FALSE(view->isVisibleTo(&window)) << "no queue until something is queued";

    drop(window, paths);

    EXPECT_TRUE(view->isVisibleTo(&window));
    EXPECT_EQ(control<QLineEdit>(window, "iamgesDirPathField")->text(), QString())
        << "the field shows one folder";
    EXPECT_EQ(control<QSlider>(window, "rateSlider")->value(), 500) << "the presets stay as they were";
    ConversionQueue& queue = window.conversionQueue();
    ASSERT_EQ(queue.rowCount(), 3);
    EXPECT_EQ(queue.state(0), State::Converting);
    EXPECT_EQ(queue.state(1), State::Waiting);
    EXPECT_EQ(queue.index(1, ConversionQueue::StateColumn).data().toString(), ConversionQueue::waitingText());
    EXPECT_FALSE(window.inConverting()) << "the queue leaves the start button alone";
    QMessageBox* alert = waitForAlert(window, kConversionTimeoutMs);

    ASSERT_NE(alert, nullptr);
    EXPECT_FALSE(queue.isBusy());
    const std::vector<State> states = {State::Done, State::Failed, State::Done};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(queue.state(row), states[std::size_t(row)]) << row;
        EXPECT_EQ(queue.index(row, ConversionQueue::NameColumn).data().toString(),
                  QFileInfo(paths[row]).fileName());
        const QString written =
            row == 1 ? QString() : VideoEncoder::videoPath(paths[row] + QStringLiteral("/output"));
        EXPECT_EQ(queue.index(row, ConversionQueue::OutputColumn).data().toString(), written) << row;
    }
    EXPECT_TRUE(queue.index(1, ConversionQueue::StateColumn)
                    .data()
                    .toString()
                    .contains(UserTexts::kFramesNotConsecutive));
    EXPECT_EQ(alert->text(), summaryOf(2, 1, 0).headline());
    EXPECT_TRUE(alert->informativeText().startsWith(QStringLiteral("gap")));
    EXPECT_TRUE(alert->informativeText().contains(UserTexts::kFramesNotConsecutive));
    QTest::qWait(300);
    EXPECT_EQ(openAlerts(window).size(), 1) << "one alert for the whole queue";
    ASSERT_TRUE(notifications.waitForNotifications(1));
    EXPECT_EQ(notifications.notifications().constFirst().summary, alert->text());
    press(alert, QStringLiteral("Ok"));
}

struct DropCase {
    const char* title;
    bool withFile; // a plain file beside the folder
    bool twoItems; // or the folder alone
    bool fieldShowsFolder;
    int lines;
    int sliderAfter;
};

void PrintTo(const DropCase& c, std::ostream* out) {
    *out << c.title;
}

class Drops : public ViewControllerQueueTest, public ::testing::WithParamInterface<DropCase> {};

// One item is the path field's, exactly as before; more go to the queue,
// where a file gets the settings check's refusal.
TEST_P(Drops, OneItemIsShownSeveralAreQueued) {
    const DropCase c = GetParam();
    const QString walk = frames(QStringLiteral("walk"));
    const QString file = folder.touch(QStringLiteral("walk.mov"));
    ViewController window;
    control<QPushButton>(window, "highButton")->click();

    drop(window, c.twoItems ? QStringList{walk, c.withFile ? file : frames(QStringLiteral("jump"))}
                            : QStringList{walk});

    EXPECT_EQ(control<QLineEdit>(window, "iamgesDirPathField")->text(),
              c.fieldShowsFolder ? walk : QString());
    EXPECT_EQ(control<QSlider>(window, "rateSlider")->value(), c.sliderAfter);
    ConversionQueue& queue = window.conversionQueue();
    ASSERT_EQ(queue.rowCount(), c.lines);
    EXPECT_EQ(control<ZEVQueueView>(window, "queueView")->isVisibleTo(&window), c.lines > 0);
    if (c.lines == 0) {
        QTest::qWait(200);
        EXPECT_TRUE(openAlerts(window).isEmpty()) << "nothing runs before the start button";
        return;
    }
    QMessageBox* alert = waitForAlert(window, kConversionTimeoutMs);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), summaryOf(c.withFile ? 1 : 2, c.withFile ? 1 : 0, 0).headline());
    if (c.withFile) {
        EXPECT_EQ(queue.state(1), State::Failed);
        EXPECT_EQ(queue.outcome(1).message, UserTexts::kNotAFolder);
    }
}

INSTANTIATE_TEST_SUITE_P(ViewControllerQueueTest, Drops,
                         ::testing::Values(DropCase{"one folder", false, false, true, 0, 250},
                                           DropCase{"two folders", false, true, false, 2, 500},
                                           DropCase{"folder and file", true, true, false, 2, 500}),
                         ParamName());

struct FocusCase {
    const char* title;
    bool windowActive;
    int notifications;
};

void PrintTo(const FocusCase& c, std::ostream* out) {
    *out << c.title;
}

class Focus : public ViewControllerQueueTest, public ::testing::WithParamInterface<FocusCase> {};

// Two files: refused at once, so the queue ends within the drop.
TEST_P(Focus, TheDesktopIsToldOnlyWhenTheWindowIsBehind) {
    const FocusCase c = GetParam();
    ASSERT_TRUE(notifications.publish());
    ViewController window;
    if (c.windowActive) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    drop(window, {folder.touch(QStringLiteral("a.mov")), folder.touch(QStringLiteral("b.gif"))});

    QMessageBox* alert = waitForAlert(window);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), summaryOf(0, 2, 0).headline());
    QTest::qWait(300);
    EXPECT_EQ(notifications.notifications().size(), c.notifications);
}

INSTANTIATE_TEST_SUITE_P(ViewControllerQueueTest, Focus,
                         ::testing::Values(FocusCase{"in front", true, 0}, FocusCase{"behind", false, 1}),
                         ParamName());

// One run at a time with an encoder that never ends: a waiting line is
// removed, the converting one cancelled (the next then starts), and closing
// the window stops the rest without a summary.
TEST_F(ViewControllerQueueTest, RemoveWaitingCancelCurrentAndCloseThroughTheQueue) {
    const HangingEncoder encoder(folder.path());
    const QStringList paths = {frames(QStringLiteral("a")), frames(QStringLiteral("b")),
                               frames(QStringLiteral("c")), frames(QStringLiteral("d"))};
    ViewController window;
    window.setFfmpegPath(encoder.path());
    window.conversionQueue().setParallelRuns(1);
    window.show();
    ConversionQueue& queue = window.conversionQueue();
    auto* view = control<ZEVQueueView>(window, "queueView");
    drop(window, paths);
    ASSERT_TRUE(QTest::qWaitFor([&]() { return encoder.isRunning(); }, kConversionTimeoutMs));
    EXPECT_TRUE(view->cancelButton()->isEnabled()) << "nothing selected: the converting line";

    select(*view, 1);
    EXPECT_FALSE(view->cancelButton()->isEnabled());
    ASSERT_TRUE(view->removeButton()->isEnabled());
    view->removeButton()->click();
    ASSERT_EQ(queue.rowCount(), 3);
    EXPECT_EQ(queue.path(1), paths[2]);

    select(*view, 0);
    EXPECT_FALSE(view->removeButton()->isEnabled()) << "a converting line stays";
    ASSERT_TRUE(view->cancelButton()->isEnabled());
    view->cancelButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&]() { return queue.state(1) == State::Converting && encoder.isRunning(); },
                                kConversionTimeoutMs));
    EXPECT_EQ(queue.state(0), State::Cancelled);
    EXPECT_EQ(queue.index(0, ConversionQueue::StateColumn).data().toString(),
              ConversionQueue::cancelledText());
    EXPECT_TRUE(openAlerts(window).isEmpty()) << "no alert for a line";

    EXPECT_FALSE(window.close()) << "a running queue keeps the window open";
    QMessageBox* question = waitForAlert(window);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), ViewController::closeWhileBusyText());
    press(question, ViewController::cancelAndQuitTitle());

    EXPECT_TRUE(QTest::qWaitFor([&]() { return !window.isVisible(); }, 5000));
    EXPECT_EQ(queue.state(1), State::Cancelled);
    EXPECT_EQ(queue.state(2), State::Cancelled);
    EXPECT_FALSE(encoder.isRunning());
    EXPECT_TRUE(openAlerts(window).isEmpty()) << "quitting needs no summary";
    for (const QString& path : paths)
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("/output/zev.mp4"))) << path.toStdString();
}

// Answers the folder chooser with several folders of one parent, as a
// user's extended selection there would.
void answerFolderChooserWith(const QString& parent, const QStringList& names) {
    QTimer::singleShot(0, [parent, names]() {
        if (!QTest::qWaitFor([]() { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); }))
            return;
        auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        chooser->setDirectory(parent);
        QStringList quoted;
        for (const QString& name : names)
            quoted.append(u'"' + name + u'"');
        chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(quoted.join(u' '));
        static_cast<QDialog*>(chooser)->accept();
    });
}

TEST_F(ViewControllerQueueTest, SeveralChosenFoldersAreQueued) {
    const QStringList paths = {frames(QStringLiteral("a")), frames(QStringLiteral("b"))};
    ViewController window;
    window.conversionQueue().setParallelRuns(1);

    answerFolderChooserWith(folder.path(), {QStringLiteral("a"), QStringLiteral("b")});
    control<QToolButton>(window, "chooseFolderButton")->click();

    ConversionQueue& queue = window.conversionQueue();
    ASSERT_EQ(queue.rowCount(), 2);
    EXPECT_EQ(queue.path(0), paths[0]);
    EXPECT_EQ(queue.path(1), paths[1]);
    EXPECT_EQ(control<QLineEdit>(window, "iamgesDirPathField")->text(), QString());
    ASSERT_NE(waitForAlert(window, kConversionTimeoutMs), nullptr);
    EXPECT_EQ(queue.count(State::Done), 2);
}

} // namespace
