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

#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
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

QString headline(int succeeded, int failed) {
    QueueSummary summary;
    for (int i = 0; i < succeeded; ++i)
        summary.add(QStringLiteral("done"), ConversionOutcome::success(QStringLiteral("/output")));
    for (int i = 0; i < failed; ++i)
        summary.add(QStringLiteral("failed"), ConversionOutcome::failure(UserTexts::kConversionFailed));
    return summary.headline();
}

class ViewControllerQueueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(DesktopPortalEnvironment::portal->isRunning()); }

    QString frames(const QString& name) const {
        const QString path = folder.filePath(name);
        EXPECT_TRUE(TestFrames::writeSequence(path, 3, 8, 6));
        return path;
    }

    ScratchEnvironment scratch;
    TemporaryFolder folder;
    FakeNotificationServer notifications{DesktopPortalEnvironment::portal->busAddress()};
};

// One item is the path field's, exactly as before: nothing is queued.
TEST_F(ViewControllerQueueTest, OneDroppedFolderIsShownAndNotQueued) {
    const QString walk = frames(QStringLiteral("walk"));
    ViewController window;

    drop(window, {walk});

    EXPECT_EQ(control<QLineEdit>(window, "iamgesDirPathField")->text(), walk);
    EXPECT_EQ(window.conversionQueue().rowCount(), 0);
    EXPECT_FALSE(control<ZEVQueueView>(window, "queueView")->isVisibleTo(&window));
}

struct FocusCase {
    const char* title;
    bool windowActive;
    int notifications;
};

void PrintTo(const FocusCase& c, std::ostream* out) {
    *out << c.title;
}

class Focus : public ViewControllerQueueTest, public ::testing::WithParamInterface<FocusCase> {};

// Several items go to the queue and leave the field and the presets alone;
// two files are refused at once, so the queue ends within the drop, in one
// alert for all, which the desktop hears of only when the window is behind.
TEST_P(Focus, SeveralItemsEndInOneAlertAndTheDesktopIsToldOnlyWhenTheWindowIsBehind) {
    const FocusCase c = GetParam();
    ASSERT_TRUE(notifications.publish());
    ViewController window;
    control<QPushButton>(window, "highButton")->click();
    if (c.windowActive) {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    drop(window, {folder.touch(QStringLiteral("a.mov")), folder.touch(QStringLiteral("b.gif"))});

    EXPECT_EQ(window.conversionQueue().rowCount(), 2);
    EXPECT_TRUE(control<ZEVQueueView>(window, "queueView")->isVisibleTo(&window));
    EXPECT_EQ(control<QLineEdit>(window, "iamgesDirPathField")->text(), QString());
    EXPECT_EQ(control<QSlider>(window, "rateSlider")->value(), 500);
    QMessageBox* alert = waitForAlert(window);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), headline(0, 2));
    EXPECT_TRUE(alert->informativeText().startsWith(QStringLiteral("a.mov")));
    EXPECT_TRUE(alert->informativeText().contains(UserTexts::kNotAFolder));
    QTest::qWait(300);
    EXPECT_EQ(openAlerts(window).size(), 1) << "one alert for the whole queue";
    ASSERT_EQ(notifications.notifications().size(), c.notifications);
    if (c.notifications > 0) {
        EXPECT_EQ(notifications.notifications().constFirst().summary, alert->text());
    }
}

INSTANTIATE_TEST_SUITE_P(ViewControllerQueueTest, Focus,
                         ::testing::Values(FocusCase{"in front", true, 0}, FocusCase{"behind", false, 1}),
                         ParamName());

// One run at a time with an encoder that never ends: closing the window
// asks, then stops the running line and the waiting one without a summary.
TEST_F(ViewControllerQueueTest, ClosingWhileTheQueueRunsAsksAndCancelsTheRest) {
    const HangingEncoder encoder(folder.path());
    const QStringList paths = {frames(QStringLiteral("a")), frames(QStringLiteral("b"))};
    ViewController window;
    window.setFfmpegPath(encoder.path());
    window.conversionQueue().setParallelRuns(1);
    window.show();
    ConversionQueue& queue = window.conversionQueue();
    drop(window, paths);
    ASSERT_TRUE(QTest::qWaitFor([&]() { return encoder.isRunning(); }, kConversionTimeoutMs));

    EXPECT_FALSE(window.close()) << "a running queue keeps the window open";
    QMessageBox* question = waitForAlert(window);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), ViewController::closeWhileBusyText());
    press(question, ViewController::cancelAndQuitTitle());

    EXPECT_TRUE(QTest::qWaitFor([&]() { return !window.isVisible(); }, 5000));
    EXPECT_EQ(queue.state(0), State::Cancelled);
    EXPECT_EQ(queue.state(1), State::Cancelled);
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

// The window's whole road with the staged tools: chosen, queued, converted.
TEST_F(ViewControllerQueueTest, SeveralChosenFoldersAreQueuedAndConverted) {
    const QStringList paths = {frames(QStringLiteral("a")), frames(QStringLiteral("跳 jump"))};
    ViewController window;
    window.conversionQueue().setParallelRuns(1);

    answerFolderChooserWith(folder.path(), {QStringLiteral("a"), QStringLiteral("跳 jump")});
    control<QToolButton>(window, "chooseFolderButton")->click();

    ConversionQueue& queue = window.conversionQueue();
    ASSERT_EQ(queue.rowCount(), 2);
    EXPECT_EQ(queue.path(0), paths[0]);
    EXPECT_EQ(queue.path(1), paths[1]);
    EXPECT_EQ(control<QLineEdit>(window, "iamgesDirPathField")->text(), QString());
    QMessageBox* alert = waitForAlert(window, kConversionTimeoutMs);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), headline(2, 0));
    EXPECT_EQ(queue.count(State::Done), 2);
    for (const QString& path : paths)
        EXPECT_TRUE(QFile::exists(path + QStringLiteral("/output/zev.mp4"))) << path.toStdString();
}

} // namespace
