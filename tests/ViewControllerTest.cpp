#include "ViewController.h"

#include "HangingEncoder.h"
#include "ParamName.h"
#include "RecordedCalls.h"
#include "ScratchEnvironment.h"
#include "StandInEncoders.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

using namespace zev;

namespace {

constexpr int kConversionTimeoutMs = 120000;

QStringList buttonTitles(QMessageBox* box) {
    QStringList titles;
    for (QAbstractButton* button : box->buttons())
        titles.append(button->text());
    return titles;
}

QImage rgba(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool sameImage(const QPixmap& left, const QString& resource) {
    return rgba(left.toImage()) == rgba(QPixmap(resource).toImage());
}

qreal buttonOpacity(QPushButton* button) {
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(button->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}

// Puts a recording stand-in for xdg-open first on PATH for one test.
class FakeXdgOpen {
public:
    FakeXdgOpen()
        : savedPath_(qgetenv("PATH")) {
        QDir(folder_.path()).mkpath(QStringLiteral("bin"));
        QDir(folder_.path()).mkpath(QStringLiteral("calls"));
        QFile::link(RecordedCalls::recorderPath(), folder_.filePath(QStringLiteral("bin/xdg-open")));
        qputenv("PATH", folder_.filePath(QStringLiteral("bin")).toUtf8() + ':' + savedPath_);
        qputenv("ZEV_RECORD_DIR", folder_.filePath(QStringLiteral("calls")).toUtf8());
    }
    ~FakeXdgOpen() {
        qputenv("PATH", savedPath_);
        qunsetenv("ZEV_RECORD_DIR");
    }

    QList<QStringList> calls() const {
        return RecordedCalls::read(folder_.filePath(QStringLiteral("calls")));
    }

private:
    TemporaryFolder folder_;
    QByteArray savedPath_;
};

} // namespace

TEST(ViewControllerTest, StartsIdleWithTheDefaults) {
    ViewController window;
    auto* path = control<QLineEdit>(window, "iamgesDirPathField");
    auto* fps = control<QLineEdit>(window, "FPSField");
    auto* slider = control<QSlider>(window, "rateSlider");
    auto* cache = control<QCheckBox>(window, "forceUseCache");
    auto* start = control<QPushButton>(window, "zevButton");

    EXPECT_EQ(fps->text(), "20");
    EXPECT_TRUE(path->text().isEmpty());
    const QString placeholder = QString(18, QLatin1Char(' ')) + QStringLiteral("请拖拽序列帧文件夹到这里");
    EXPECT_EQ(path->placeholderText(), placeholder);
    EXPECT_EQ(path->placeholderText().size(), 30);
    EXPECT_TRUE(path->isReadOnly());
    EXPECT_EQ(slider->value(), 250) << "the first quality preset, 0.25";
    EXPECT_FALSE(cache->isEnabled());
    EXPECT_FALSE(window.inConverting());
    EXPECT_EQ(buttonOpacity(start), 1.0);
    EXPECT_EQ(start->text(), "开始合成 ZEV 视频");
    EXPECT_EQ(window.FPS(), 20);
    EXPECT_EQ(window.rate(), 1000);
    EXPECT_EQ(window.convertPath(), ConversionSettings::resourcePath() + "/imageMagick/bin/convert");
    EXPECT_EQ(window.ffmpegPath(), ConversionSettings::resourcePath() + "/ffmpeg/ffmpeg");
    // Window opacity is kept in 1/255 steps.
    EXPECT_NEAR(window.windowOpacity(), 0.98, 1.0 / 255);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint startCentre = start->mapTo(&window, start->rect().center());
    EXPECT_EQ(window.childAt(startCentre), start) << "nothing covers the idle window";
}

struct ButtonCase {
    const char* name;
    const char* title; // null: set by the busy state
    double alpha;
    int sliderAfterPress;
};

class Buttons : public ::testing::TestWithParam<ButtonCase> {};

TEST_P(Buttons, HaveTheirColourTitleAndAction) {
    const ButtonCase c = GetParam();
    ViewController window;
    window.resize(620, 330);
    auto* button = control<QPushButton>(window, c.name);
    auto* slider = control<QSlider>(window, "rateSlider");
    if (c.title) {
        EXPECT_EQ(button->text(), QString::fromUtf8(c.title));
    }

    // The colour seen on the button's edge is the blue laid at c.alpha over
    // whatever lies just left of it.
    const QImage shot = rgba(window.grab().toImage());
    const QPoint inside = button->mapTo(&window, QPoint(3, button->height() / 2));
    const QColor behind = shot.pixelColor(inside - QPoint(6, 0));
    const QColor seen = shot.pixelColor(inside);
    const double blue[3] = {0.2, 0.53125, 1.0};
    const double under[3] = {behind.redF(), behind.greenF(), behind.blueF()};
    const double got[3] = {seen.redF(), seen.greenF(), seen.blueF()};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(got[i], c.alpha * blue[i] + (1 - c.alpha) * under[i], 2.5 / 255)
            << c.name << " channel " << i;

    // No pressed highlight: a held-down button looks exactly like a released one.
    const QImage released = button->grab().toImage();
    button->setDown(true);
    const QImage held = button->grab().toImage();
    button->setDown(false);
    EXPECT_EQ(held, released);

    slider->setValue(1000);
    if (c.sliderAfterPress >= 0) {
        button->click();
        EXPECT_EQ(slider->value(), c.sliderAfterPress);
    }
}

INSTANTIATE_TEST_SUITE_P(ViewControllerTest, Buttons,
                         ::testing::Values(ButtonCase{"zevButton", nullptr, 1.0, -1},
                                           ButtonCase{"lowButton", "高", 0.7, 250},
                                           ButtonCase{"highButton", "超高", 0.7, 500},
                                           ButtonCase{"veryHighButton", "最佳", 0.7, 750}),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST(ViewControllerTest, BusyStateDimsTheStartButtonOnly) {
    ViewController window;
    auto* start = control<QPushButton>(window, "zevButton");

    window.setInConverting(true);
    EXPECT_TRUE(window.inConverting());
    EXPECT_EQ(buttonOpacity(start), static_cast<double>(0.3f));
    EXPECT_EQ(start->text(), "ZEV 视频合成中，请耐心等待...");
    for (const char* name : {"lowButton", "highButton", "veryHighButton", "zevButton"})
        EXPECT_TRUE(control<QPushButton>(window, name)->isEnabled()) << name;
    EXPECT_TRUE(control<QLineEdit>(window, "FPSField")->isEnabled());

    window.setInConverting(false);
    EXPECT_FALSE(window.inConverting());
    EXPECT_EQ(buttonOpacity(start), 1.0);
    EXPECT_EQ(start->text(), "开始合成 ZEV 视频");
}

TEST(ViewControllerTest, DropShowsThePathAndResetsPresetAndCache) {
    ViewController window;
    auto* slider = control<QSlider>(window, "rateSlider");
    auto* cache = control<QCheckBox>(window, "forceUseCache");
    control<QPushButton>(window, "highButton")->click();
    cache->setEnabled(true);
    cache->setChecked(true);
    const QString dropped = QStringLiteral("/tmp/帧 folder/it's  here/");

    window.updateDragFilePath(dropped);

    EXPECT_EQ(control<QLineEdit>(window, "iamgesDirPathField")->text(), dropped);
    EXPECT_FALSE(cache->isChecked());
    EXPECT_FALSE(cache->isEnabled());
    EXPECT_EQ(slider->value(), 250);
    EXPECT_TRUE(window.sourceImageFolder().isNull()) << "only the settings check sets the frame folder";
}

TEST(ViewControllerTest, NoPathChangesNothing) {
    ViewController window;
    auto* cache = control<QCheckBox>(window, "forceUseCache");
    window.updateDragFilePath(QStringLiteral("/tmp/frames"));
    control<QPushButton>(window, "veryHighButton")->click();
    cache->setEnabled(true);
    cache->setChecked(true);

    window.updateDragFilePath(QString());

    EXPECT_EQ(control<QLineEdit>(window, "iamgesDirPathField")->text(), "/tmp/frames");
    EXPECT_TRUE(cache->isChecked());
    EXPECT_TRUE(cache->isEnabled());
    EXPECT_EQ(control<QSlider>(window, "rateSlider")->value(), 750);
}

// Sent to the window itself, the drag goes through Qt's own choice of the
// widget under the pointer: here the path field, which lies over the panel.
TEST(ViewControllerTest, FolderDroppedOnThePathFieldReachesTheWindow) {
    TemporaryFolder folder;
    ViewController window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* path = control<QLineEdit>(window, "iamgesDirPathField");
    const QPoint overField = path->mapTo(&window, path->rect().center());
    QMimeData mimeData;
    mimeData.setUrls({QUrl::fromLocalFile(folder.path())});

    QDragEnterEvent enter(overField, Qt::CopyAction | Qt::LinkAction, &mimeData, Qt::LeftButton,
                          Qt::NoModifier);
    QCoreApplication::sendEvent(window.windowHandle(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::LinkAction);
    QDropEvent drop(overField, Qt::CopyAction | Qt::LinkAction, &mimeData, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.windowHandle(), &drop);

    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(path->text(), folder.path());
}

struct BadFrameRateCase {
    const char* fps;
    QString message;
};

class BadFrameRate : public ::testing::TestWithParam<BadFrameRateCase> {};

TEST_P(BadFrameRate, ShowsOneErrorAlertAfterThePress) {
    TemporaryFolder folder;
    ViewController window;
    window.updateDragFilePath(folder.path());
    control<QLineEdit>(window, "FPSField")->setText(QString::fromUtf8(GetParam().fps));

    window.convertBtnClicked();
    EXPECT_TRUE(openAlerts(window).isEmpty()) << "the alert waits until the press has been handled";
    QCoreApplication::processEvents();

    const QList<QMessageBox*> alerts = openAlerts(window);
    ASSERT_EQ(alerts.size(), 1);
    QMessageBox* alert = alerts.constFirst();
    EXPECT_EQ(alert->text(), GetParam().message);
    EXPECT_EQ(buttonTitles(alert), QStringList{"Ok"});
    EXPECT_EQ(alert->defaultButton(), alert->buttons().value(0));
    EXPECT_EQ(alert->windowModality(), Qt::WindowModal);
    EXPECT_EQ(alert->parentWidget(), &window);
    EXPECT_TRUE(sameImage(alert->iconPixmap(), QStringLiteral(":/msgerror.png")));
    EXPECT_FALSE(window.inConverting());
    EXPECT_EQ(control<QPushButton>(window, "zevButton")->text(), "开始合成 ZEV 视频");

    press(alert, QStringLiteral("Ok"));
    EXPECT_TRUE(openAlerts(window).isEmpty());
    EXPECT_TRUE(window.findChildren<QMessageBox*>().isEmpty()) << "a dismissed alert is gone";
}

INSTANTIATE_TEST_SUITE_P(
    ViewControllerTest, BadFrameRate,
    ::testing::Values(BadFrameRateCase{"abc", QStringLiteral("输入不是数字，请输入正确的帧率(0<FPS<60).")},
                      BadFrameRateCase{"60", QStringLiteral("请输入正确的帧率(0<FPS<60).")}),
    [](const auto& instance) { return instance.index == 0 ? "not_a_number" : "out_of_range"; });

TEST(ViewControllerTest, SuccessAlertOffersTheFolderAndCloseRunsNothing) {
    FakeXdgOpen xdgOpen;
    ViewController window;
    const QString output = QStringLiteral("/tmp/帧 folder/output");

    window.showConvertSuccessAlertWithPath(output);
    EXPECT_TRUE(openAlerts(window).isEmpty());
    QMessageBox* alert = waitForAlert(window);

    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("视频已经生成, 视频路径：/tmp/帧 folder/output"));
    EXPECT_EQ(buttonTitles(alert), (QStringList{"打开视频文件路径", "关闭"}));
    EXPECT_EQ(alert->defaultButton(), alert->buttons().value(0));
    EXPECT_EQ(alert->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(sameImage(alert->iconPixmap(), QStringLiteral(":/msgSuccess.png")));

    press(alert, QStringLiteral("关闭"));
    EXPECT_TRUE(openAlerts(window).isEmpty());
    EXPECT_TRUE(xdgOpen.calls().isEmpty());
}

TEST(ViewControllerTest, SuccessAlertFirstButtonOpensTheFolder) {
    FakeXdgOpen xdgOpen;
    ViewController window;
    const QString output = QStringLiteral("/tmp/it's 帧/output");

    window.showConvertSuccessAlertWithPath(output);
    QMessageBox* alert = waitForAlert(window);
    ASSERT_NE(alert, nullptr);
    press(alert, QStringLiteral("打开视频文件路径"));

    EXPECT_EQ(xdgOpen.calls(), QList<QStringList>{{output}});
}

class OpenFile : public ::testing::TestWithParam<const char*> {};

TEST_P(OpenFile, HandsThePathToXdgOpenAsOneArgument) {
    FakeXdgOpen xdgOpen;
    ViewController window;
    const QString path = QString::fromUtf8(GetParam());

    window.openFile(path);

    EXPECT_EQ(xdgOpen.calls(), QList<QStringList>{{path}});
}

INSTANTIATE_TEST_SUITE_P(ViewControllerTest, OpenFile,
                         ::testing::Values("/tmp/frames/output", "/tmp/it's/output", "/tmp/'''/output'",
                                           "/tmp/序列 帧  文件夹/output",
                                           "/tmp/$(touch x) `id` \"q\" \\n;&|*?/output",
                                           "/tmp/'$HOME'/\t~/output"));

TEST(ViewControllerTest, OpenFileWithoutPathRunsNothing) {
    FakeXdgOpen xdgOpen;
    ViewController window;

    window.openFile(QString());

    EXPECT_TRUE(xdgOpen.calls().isEmpty());
}

namespace {

// Answers the folder chooser the next time it opens: with folder, or by
// cancelling when folder is null.
void answerFolderChooser(const QString& folder) {
    QTimer::singleShot(0, [folder]() {
        if (!QTest::qWaitFor([]() { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); }))
            return;
        // Through QDialog, as QFileDialog hides its accept() and reject().
        QDialog* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (folder.isNull()) {
            dialog->reject();
            return;
        }
        static_cast<QFileDialog*>(dialog)->setDirectory(folder);
        static_cast<QFileDialog*>(dialog)->selectFile(folder);
        dialog->accept();
    });
}

} // namespace

TEST(ViewControllerTest, ChosenFolderIsTreatedLikeADrop) {
    TemporaryFolder folder;
    const QString chosen = folder.makeFolder(QStringLiteral("帧 frames"));
    ViewController window;
    auto* cache = control<QCheckBox>(window, "forceUseCache");
    control<QPushButton>(window, "highButton")->click();
    cache->setEnabled(true);
    cache->setChecked(true);

    answerFolderChooser(chosen);
    control<QToolButton>(window, "chooseFolderButton")->click();

    EXPECT_EQ(control<QLineEdit>(window, "iamgesDirPathField")->text(), chosen);
    EXPECT_FALSE(cache->isChecked());
    EXPECT_FALSE(cache->isEnabled());
    EXPECT_EQ(control<QSlider>(window, "rateSlider")->value(), 250);
}

TEST(ViewControllerTest, DoubleClickOnThePanelOpensTheChooserAndCancelKeepsThePath) {
    ViewController window;
    window.updateDragFilePath(QStringLiteral("/tmp/frames"));
    auto* path = control<QLineEdit>(window, "iamgesDirPathField");
    bool chooserOpened = false;
    QTimer::singleShot(0, [&chooserOpened]() {
        chooserOpened =
            QTest::qWaitFor([]() { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); });
    });
    answerFolderChooser(QString());

    QTest::mouseDClick(path, Qt::LeftButton);

    EXPECT_TRUE(chooserOpened);
    EXPECT_EQ(path->text(), "/tmp/frames");
}

// The whole road through the window: real frames, the staged ImageMagick and
// FFmpeg, the busy look, the success alert and the cache checkbox.
TEST(ViewControllerTest, ConvertsTinyFramesAndReportsTheOutputFolder) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    const QString frames = folder.makeFolder(QStringLiteral("序列 帧"));
    ASSERT_TRUE(TestFrames::writeSequence(frames, 3, 8, 6));
    ViewController window;
    auto* start = control<QPushButton>(window, "zevButton");
    auto* cache = control<QCheckBox>(window, "forceUseCache");
    window.updateDragFilePath(frames);

    start->click();
    EXPECT_TRUE(window.inConverting());
    EXPECT_EQ(start->text(), "ZEV 视频合成中，请耐心等待...");
    QMessageBox* alert = waitForAlert(window, kConversionTimeoutMs);

    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("视频已经生成, 视频路径：") + frames + QStringLiteral("/output"));
    EXPECT_TRUE(QFile::exists(frames + QStringLiteral("/output/zev.mp4")));
    EXPECT_TRUE(QTest::qWaitFor([&window]() { return !window.inConverting(); }, 5000));
    EXPECT_TRUE(cache->isEnabled());
    EXPECT_EQ(start->text(), "开始合成 ZEV 视频");
    EXPECT_EQ(buttonOpacity(start), 1.0);
    press(alert, QStringLiteral("关闭"));
}

// Tab and Space would reach the folder chooser beneath the overlay; while
// busy only the overlay's cancel button takes the keyboard.
TEST(ViewControllerTest, BusyWindowKeepsTheKeyboardFromTheControlsBeneath) {
    ViewController window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* chooser = control<QToolButton>(window, "chooseFolderButton");
    const Qt::FocusPolicy chooserPolicy = chooser->focusPolicy();
    chooser->setFocus();

    window.setInConverting(true);
    QPushButton* cancel = window.progressView()->cancelButton();
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), cancel) << "after " << i + 1 << " tabs";
    }
    EXPECT_EQ(chooser->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(chooser->isEnabled()) << "the controls keep their look";

    window.setInConverting(false);
    EXPECT_EQ(chooser->focusPolicy(), chooserPolicy);
}

// Closing mid-run asks first; "cancel and quit" stops the tools, leaves no
// video and closes the window once the run has ended.
TEST(ViewControllerTest, ClosingWhileConvertingAsksAndCanCancelAndQuit) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    const QString frames = folder.makeFolder(QStringLiteral("frames"));
    ASSERT_TRUE(TestFrames::writeSequence(frames, 3, 8, 6));
    const HangingEncoder encoder(folder.path());
    ViewController window;
    window.setFfmpegPath(encoder.path());
    window.show();
    window.updateDragFilePath(frames);

    control<QPushButton>(window, "zevButton")->click();
    ASSERT_TRUE(QTest::qWaitFor([&]() { return encoder.isRunning(); }, kConversionTimeoutMs));
    ASSERT_TRUE(QTest::qWaitFor([&]() {
        return window.progressView()->stageLabel()->text().startsWith(QStringLiteral("正在编码"));
    }));
    EXPECT_GT(window.progressView()->progressBar()->value(), 0);

    EXPECT_FALSE(window.close()) << "a running conversion keeps the window open";
    QMessageBox* question = waitForAlert(window);
    ASSERT_NE(question, nullptr);
    QStringList titles = buttonTitles(question);
    titles.sort();
    EXPECT_EQ(titles, (QStringList{"取消合成并退出", "继续合成，完成后退出"}));
    press(question, QStringLiteral("取消合成并退出"));

    EXPECT_TRUE(QTest::qWaitFor([&]() { return !window.isVisible(); }, 5000));
    EXPECT_FALSE(window.inConverting());
    EXPECT_FALSE(encoder.isRunning());
    EXPECT_FALSE(QFile::exists(frames + QStringLiteral("/output/zev.mp4")));
    EXPECT_TRUE(openAlerts(window).isEmpty()) << "a cancelled run shows no alert";
}

// The fixed message stays the alert's text; the reason is its informative
// text (never markup) and the tool's output its details.
TEST(ViewControllerTest, FailedConversionAlertSaysWhyAndKeepsTheToolOutput) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    const QString frames = folder.makeFolder(QStringLiteral("<b>frames</b>"));
    ASSERT_TRUE(TestFrames::writeSequence(frames, 2, 8, 6));
    const QString failing =
        folder.touch("failing-ffmpeg", "#!/bin/sh\necho 'x264 [error]: broken pipe' >&2\nexit 1\n");
    QFile::setPermissions(failing, QFile::ReadOwner | QFile::ExeOwner);
    ViewController window;
    window.setFfmpegPath(failing);
    window.updateDragFilePath(frames);

    control<QPushButton>(window, "zevButton")->click();
    QMessageBox* alert = waitForAlert(window, kConversionTimeoutMs);

    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("合成视频过程出错，请重试."));
    EXPECT_TRUE(alert->informativeText().startsWith(
        QStringLiteral("ffmpeg 以状态 1 退出：x264 [error]: broken pipe")))
        << alert->informativeText().toStdString();
    EXPECT_TRUE(alert->detailedText().contains(QStringLiteral("broken pipe")));
    EXPECT_TRUE(buttonTitles(alert).contains(QStringLiteral("显示详细信息")));
    auto* informative = alert->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
    ASSERT_NE(informative, nullptr);
    EXPECT_EQ(informative->textFormat(), Qt::PlainText);
    press(alert, QStringLiteral("Ok"));
}

namespace {

bool hasChinese(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar ch) { return ch >= u'\u4e00' && ch <= u'\u9fff'; });
}

struct RefusedFramesCase {
    const char* title;
    void (*makeFrames)(const TemporaryFolder& folder);
    const char* keptToken; // a file or format name the reason names untranslated
};

void PrintTo(const RefusedFramesCase& c, std::ostream* out) {
    *out << c.title;
}

class RefusedFrames : public ::testing::TestWithParam<RefusedFramesCase> {};

// The window speaks Chinese: the reason under the fixed message is ZEV's own
// text in the window's language, with its file and format names unchanged.
TEST_P(RefusedFrames, AlertGivesTheReasonInChinese) {
    const RefusedFramesCase c = GetParam();
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    c.makeFrames(folder);
    ViewController window;
    window.updateDragFilePath(folder.path());

    control<QPushButton>(window, "zevButton")->click();
    QMessageBox* alert = waitForAlert(window, kConversionTimeoutMs);

    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("合成视频过程出错，请重试."));
    const QString reason = alert->informativeText();
    EXPECT_TRUE(hasChinese(reason)) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QString::fromUtf8(c.keptToken))) << reason.toStdString();
    press(alert, QStringLiteral("Ok"));
}

INSTANTIATE_TEST_SUITE_P(
    ViewControllerTest, RefusedFrames,
    ::testing::Values(RefusedFramesCase{"mixed sizes",
                                        [](const TemporaryFolder& folder) {
                                            ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 1, 16, 12));
                                            ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 1, 8, 6, 1));
                                        },
                                        "1.png"},
                      RefusedFramesCase{"odd height",
                                        [](const TemporaryFolder& folder) {
                                            ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 2, 8, 7));
                                        },
                                        "H.264"},
                      RefusedFramesCase{"not a png",
                                        [](const TemporaryFolder& folder) {
                                            ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 1, 8, 6));
                                            folder.touch(QStringLiteral("1.png"), "plain text");
                                        },
                                        "PNG"}),
    ParamName());

// The settings file holds the cap in MiB; whatever it says, the cap stays a
// size: never negative, never wrapped round to a small one.
TEST(ViewControllerCacheCap, SettingsBecomeBytes) {
    constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
    const std::pair<QVariant, qint64> cases[] = {
        {QVariant(), qint64(2048) << 20},
        {QVariant(qint64(500)), qint64(500) << 20},
        {QVariant(QStringLiteral("100")), qint64(100) << 20},
        {QVariant(0), 0},
        {QVariant(-5), qint64(2048) << 20},
        {QVariant(QStringLiteral("lots")), qint64(2048) << 20},
        {QVariant(kLargest >> 20), (kLargest >> 20) << 20},
        // Beyond what bytes can count: no limit.
        {QVariant((kLargest >> 20) + 1), kLargest},
        {QVariant(qint64(1) << 44), kLargest},
        {QVariant(kLargest), kLargest},
    };
    for (const auto& [setting, bytes] : cases)
        EXPECT_EQ(ViewController::cacheCapBytes(setting), bytes) << setting.toString().toStdString();
}

} // namespace
