#include "ZEVQueueView.h"

#include "ConversionQueue.h"
#include "HangingEncoder.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"

#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <gtest/gtest.h>

using namespace zev;

namespace {

using State = ConversionQueue::State;

constexpr int kConversionTimeoutMs = 120000;

ConversionSettings stagedTools() {
    ConversionSettings tools = ConversionSettings::defaults();
    tools.convertPath = QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert");
    tools.ffmpegPath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg");
    tools.ffprobePath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
    return tools;
}

FrontEndInputs expressInputs() {
    FrontEndInputs inputs;
    inputs.expressTicked = true;
    return inputs;
}

void select(ZEVQueueView& view, int row) {
    if (row < 0) {
        view.lines()->selectionModel()->clearSelection();
        return;
    }
    view.lines()->selectionModel()->select(view.queue()->index(row, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// What the desktop sends for a double click: press, release, then the
// second press as a double click, and its release. (The events of
// QTest::mouseDClick make Qt 6.4's tree view report no double click.)
void doubleClick(QWidget* viewport, const QPoint& point) {
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, point);
    QMouseEvent second(QEvent::MouseButtonDblClick, point, viewport->mapToGlobal(point), Qt::LeftButton,
                       Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &second);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, point);
}

// A queue holding a failed line (a file), a converting one (an encoder that
// never ends) and a waiting one, one run at a time.
class ZEVQueueViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        queue.setParallelRuns(1);
        view.setQueue(&queue);
        ConversionSettings tools = stagedTools();
        tools.ffmpegPath = encoder.path();
        for (const char* name : {"converting", "waiting"})
            ASSERT_TRUE(TestFrames::writeSequence(folder.filePath(name), 3, 8, 6));
        queue.add({folder.touch("failed.mov"), folder.filePath("converting"), folder.filePath("waiting")},
                  expressInputs(), tools);
        ASSERT_TRUE(QTest::qWaitFor([this]() { return encoder.isRunning(); }, kConversionTimeoutMs));
    }
    void TearDown() override {
        queue.cancelAll();
        EXPECT_TRUE(QTest::qWaitFor([this]() { return !queue.isBusy(); }, 10000));
    }

    ScratchEnvironment scratch;
    TemporaryFolder folder;
    HangingEncoder encoder{folder.path()};
    ConversionQueue queue;
    ZEVQueueView view;
};

TEST_F(ZEVQueueViewTest, TheButtonsOfferWhatTheSelectedLineAllows) {
    const struct {
        int row; // -1: nothing selected
        bool cancelEnabled;
        bool removeEnabled;
    } cases[] = {{-1, true, false}, {0, false, true}, {1, true, false}, {2, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        select(view, c.row);
        EXPECT_EQ(view.cancelButton()->isEnabled(), c.cancelEnabled);
        EXPECT_EQ(view.removeButton()->isEnabled(), c.removeEnabled);
        EXPECT_TRUE(view.clearButton()->isEnabled()) << "the failed line has ended";
    }
}

TEST_F(ZEVQueueViewTest, DeleteRemovesTheSelectedLineAndClearTakesTheEndedOnes) {
    select(view, 2);
    view.lines()->setFocus();
    QTest::keyClick(view.lines(), Qt::Key_Delete);
    ASSERT_EQ(queue.rowCount(), 2);
    EXPECT_EQ(queue.path(1), folder.filePath("converting"));

    view.clearButton()->click();
    ASSERT_EQ(queue.rowCount(), 1);
    EXPECT_EQ(queue.state(0), State::Converting);
    EXPECT_FALSE(view.clearButton()->isEnabled());

    view.cancelButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([this]() { return !queue.isBusy(); }, 10000));
    EXPECT_EQ(queue.state(0), State::Cancelled);
    QSignalSpy shown(&view, &ZEVQueueView::shownChanged);
    view.clearButton()->click();
    EXPECT_EQ(queue.rowCount(), 0);
    EXPECT_TRUE(view.isHidden()) << "an empty queue is not shown";
    ASSERT_EQ(shown.size(), 1);
    EXPECT_FALSE(shown[0][0].toBool());
}

// Even one item dropped on the queue is queued; a drop with a web link in
// it is refused whole.
TEST(ZEVQueueViewDrops, HandEveryLocalItemOn) {
    const QUrl walk = QUrl::fromLocalFile(QStringLiteral("/assets/walk"));
    const struct {
        QList<QUrl> urls;
        bool taken;
    } cases[] = {{{walk}, true}, {{walk, QUrl(QStringLiteral("https://example.org/walk.mov"))}, false}};
    for (const auto& c : cases) {
        ZEVQueueView view;
        view.resize(300, 200);
        QSignalSpy dropped(&view, &ZEVQueueView::pathsDropped);
        QMimeData mimeData;
        mimeData.setUrls(c.urls);
        const Qt::DropActions allowed = Qt::CopyAction | Qt::LinkAction;
        QDragEnterEvent enter(view.rect().center(), allowed, &mimeData, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &enter);
        ASSERT_EQ(enter.isAccepted(), c.taken) << c.urls.size();
        if (!c.taken)
            continue;
        QDropEvent release(view.rect().center(), allowed, &mimeData, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &release);
        ASSERT_EQ(dropped.size(), 1);
        EXPECT_EQ(dropped[0][0].toStringList(), QStringList{walk.toLocalFile()});
    }
}

TEST(ZEVQueueViewOpening, DoubleClickOnAWrittenVideoAsksForItsFolder) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeSequence(folder.filePath("walk"), 3, 8, 6));
    ConversionQueue queue;
    ZEVQueueView view;
    view.setQueue(&queue);
    view.resize(400, 200);
    view.show();
    QSignalSpy opened(&view, &ZEVQueueView::openRequested);
    queue.add({folder.filePath("walk"), folder.touch("failed.mov")}, expressInputs(), stagedTools());
    ASSERT_TRUE(QTest::qWaitFor([&queue]() { return !queue.isBusy(); }, kConversionTimeoutMs));
    ASSERT_EQ(queue.state(0), State::Done);

    for (int row : {1, 0})
        doubleClick(view.lines()->viewport(),
                    view.lines()->visualRect(queue.index(row, ConversionQueue::NameColumn)).center());

    ASSERT_EQ(opened.size(), 1) << "a failed line has no video";
    EXPECT_EQ(opened[0][0].toString(), folder.filePath("walk/output"));
}

} // namespace
