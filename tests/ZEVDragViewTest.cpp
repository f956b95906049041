#include "ZEVDragView.h"

#include "TemporaryFolder.h"
#include "ZEVDragViewDelegate.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QObject>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

using namespace zev;

namespace {

class RecordingDelegate : public QObject, public ZEVDragViewDelegate {
public:
    void updateDragFilePath(const QString& path) override { paths.append(path); }
    QStringList paths;
};

struct Drag {
    bool entered = false;
    Qt::DropAction offered = Qt::IgnoreAction;
    bool dropTaken = false;
};

// Offers the drag on entry, then releases it over the view. Qt itself
// delivers no drop to a widget that refused the drag on entry.
Drag dragAndDrop(ZEVDragView& view, const QMimeData& mimeData, Qt::DropActions allowed) {
    const QPoint centre = view.rect().center();
    QDragEnterEvent enter(centre, allowed, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &enter);
    QDropEvent drop(centre, allowed, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &drop);
    return {enter.isAccepted(), enter.dropAction(), drop.isAccepted()};
}

std::unique_ptr<QMimeData> filesData(const QStringList& paths) {
    auto mimeData = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    mimeData->setUrls(urls);
    return mimeData;
}

enum class Payload { OneFolder, SeveralItems, PlainFile, TextOnly, WebLink, NoItems, EmptyFirstPath };

struct DropCase {
    const char* title;
    Payload payload;
    Qt::DropActions allowed;
    bool entered;
    // Which prepared item the delegate receives: -1 for none.
    int handedItem;
};

class Drops : public ::testing::TestWithParam<DropCase> {};

TEST_P(Drops, HandTheFirstPathToTheDelegate) {
    const DropCase c = GetParam();
    TemporaryFolder folder;
    const QStringList items = {folder.makeFolder(QStringLiteral("帧 frames")),
                               folder.makeFolder(QStringLiteral("second")),
                               folder.touch(QStringLiteral("0.png"))};
    std::unique_ptr<QMimeData> mimeData;
    switch (c.payload) {
    case Payload::OneFolder:
        mimeData = filesData({items[0]});
        break;
    case Payload::SeveralItems:
        mimeData = filesData(items);
        break;
    case Payload::PlainFile:
        mimeData = filesData({items[2]});
        break;
    case Payload::NoItems:
        mimeData = filesData({});
        break;
    case Payload::EmptyFirstPath:
        mimeData = std::make_unique<QMimeData>();
        mimeData->setUrls({QUrl(QStringLiteral("file:")), QUrl::fromLocalFile(items[0])});
        break;
    case Payload::TextOnly:
        mimeData = std::make_unique<QMimeData>();
        mimeData->setText(items[0]);
        break;
    case Payload::WebLink:
        mimeData = std::make_unique<QMimeData>();
        mimeData->setUrls(
            {QUrl(QStringLiteral("https://example.org/frames/")), QUrl::fromLocalFile(items[0])});
        break;
    }
    ZEVDragView view;
    view.resize(200, 40);
    RecordingDelegate delegate;
    view.setDelegate(&delegate);

    const Drag drag = dragAndDrop(view, *mimeData, c.allowed);

    EXPECT_EQ(drag.entered, c.entered) << c.title;
    if (c.entered) {
        EXPECT_EQ(drag.offered, Qt::LinkAction) << c.title;
        EXPECT_TRUE(drag.dropTaken) << c.title << ": a released drop is always taken";
    }
    const QStringList expected = c.handedItem < 0 ? QStringList() : QStringList{items[c.handedItem]};
    EXPECT_EQ(delegate.paths, expected) << c.title;
}

constexpr Qt::DropActions kFinderLike = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;

INSTANTIATE_TEST_SUITE_P(
    ZEVDragViewTest, Drops,
    ::testing::Values(DropCase{"one folder", Payload::OneFolder, kFinderLike, true, 0},
                      DropCase{"link only", Payload::OneFolder, Qt::LinkAction, true, 0},
                      DropCase{"several items", Payload::SeveralItems, kFinderLike, true, 0},
                      DropCase{"plain file", Payload::PlainFile, kFinderLike, true, 2},
                      DropCase{"text", Payload::TextOnly, kFinderLike, false, -1},
                      DropCase{"no link allowed", Payload::OneFolder, Qt::CopyAction | Qt::MoveAction, false,
                               -1},
                      DropCase{"web link first", Payload::WebLink, kFinderLike, false, -1},
                      DropCase{"no items", Payload::NoItems, kFinderLike, true, -1},
                      DropCase{"empty first path", Payload::EmptyFirstPath, kFinderLike, true, -1}),
    [](const auto& instance) {
        std::string name = instance.param.title;
        for (char& ch : name) {
            if (ch == ' ')
                ch = '_';
        }
        return name;
    });

TEST(ZEVDragViewTest, DropWithoutDelegateIsTakenQuietly) {
    TemporaryFolder folder;
    ZEVDragView view;
    view.resize(200, 40);
    const auto mimeData = filesData({folder.path()});

    const Drag drag = dragAndDrop(view, *mimeData, kFinderLike);

    EXPECT_EQ(view.delegate(), nullptr);
    EXPECT_TRUE(drag.entered);
    EXPECT_TRUE(drag.dropTaken);
}

TEST(ZEVDragViewTest, DelegateThatIsGoneIsNotCalled) {
    TemporaryFolder folder;
    ZEVDragView view;
    view.resize(200, 40);
    auto delegate = std::make_unique<RecordingDelegate>();
    view.setDelegate(delegate.get());
    EXPECT_EQ(view.delegate(), delegate.get());

    delegate.reset();
    const auto mimeData = filesData({folder.path()});
    const Drag drag = dragAndDrop(view, *mimeData, kFinderLike);

    EXPECT_EQ(view.delegate(), nullptr);
    EXPECT_TRUE(drag.dropTaken);
}

// A delegate that takes every item of a drop, as the window's queue does.
class QueueingDelegate : public QObject, public ZEVDragViewDelegate {
public:
    void updateDragFilePath(const QString& path) override { calls.append({path}); }
    void updateDragFilePaths(const QStringList& paths) override { calls.append(paths); }
    QList<QStringList> calls;
};

struct SeveralCase {
    const char* title;
    QStringList urls; // relative to the test folder; "file:" for an empty item
    QList<QStringList> calls;
};

class SeveralItems : public ::testing::TestWithParam<SeveralCase> {};

TEST_P(SeveralItems, ReachADelegateThatTakesThemAllInOneCall) {
    const SeveralCase c = GetParam();
    TemporaryFolder folder;
    const auto absolute = [&folder](const QString& name) { return folder.filePath(name); };
    QList<QUrl> urls;
    for (const QString& url : c.urls)
        urls.append(url == QStringLiteral("file:") ? QUrl(url) : QUrl::fromLocalFile(absolute(url)));
    QMimeData mimeData;
    mimeData.setUrls(urls);
    ZEVDragView view;
    view.resize(200, 40);
    QueueingDelegate delegate;
    view.setDelegate(&delegate);

    const Drag drag = dragAndDrop(view, mimeData, kFinderLike);

    EXPECT_TRUE(drag.dropTaken);
    QList<QStringList> expected;
    for (const QStringList& call : c.calls) {
        QStringList paths;
        for (const QString& name : call)
            paths.append(absolute(name));
        expected.append(paths);
    }
    EXPECT_EQ(delegate.calls, expected);
}

INSTANTIATE_TEST_SUITE_P(
    ZEVDragViewTest, SeveralItems,
    ::testing::Values(SeveralCase{"three_in_order", {"walk", "jump", "a.mov"}, {{"walk", "jump", "a.mov"}}},
                      SeveralCase{"empty_item_left_out", {"walk", "file:", "jump"}, {{"walk", "jump"}}},
                      SeveralCase{"one_left_after_an_empty_item", {"walk", "file:"}, {{"walk"}}},
                      SeveralCase{"empty_first_item", {"file:", "walk"}, {}}),
    [](const auto& instance) { return std::string(instance.param.title); });

TEST(ZEVDragViewTest, HoveringDragChangesNothingOnScreen) {
    TemporaryFolder folder;
    ZEVDragView view;
    view.resize(200, 40);
    view.setStyleSheet(QStringLiteral("ZEVDragView { border: 1px solid gray; border-radius: 5px; }"));
    const QImage before = view.grab().toImage();
    const auto mimeData = filesData({folder.path()});
    QDragEnterEvent enter(view.rect().center(), kFinderLike, mimeData.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &enter);
    ASSERT_TRUE(enter.isAccepted());

    EXPECT_EQ(view.grab().toImage(), before);
}

} // namespace
