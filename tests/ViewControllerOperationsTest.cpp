#include "DesktopAppearance.h"
#include "HangingEncoder.h"
#include "ParamName.h"
#include "RecordedCalls.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "ViewController.h"
#include "output/VideoDescription.h"
#include "storage/FrameCache.h"
#include "storage/ScratchFolders.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QSlider>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace zev;

namespace {

constexpr int kRunTimeoutMs = 60000;

// A window with three tiny frames dropped on it, in a scratch folder of its
// own.
struct Window {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    QString frames = folder.makeFolder(QStringLiteral("帧 frames"));
    ViewController controller;

    QStringList framePaths() const { return {frames + "/0.png", frames + "/1.png", frames + "/2.png"}; }
    QString makeFolder(const QString& name) const { return folder.makeFolder(name); }
    QStringList pngs(const QString& in) const {
        return QDir(in).entryList({"*.png"}, QDir::Files, QDir::Name);
    }
    QString alertText(int timeoutMs = 5000) {
        QMessageBox* shown = nullptr;
        (void)QTest::qWaitFor(
            [&]() {
                for (QMessageBox* box : controller.findChildren<QMessageBox*>())
                    shown = box->isVisible() ? box : shown;
                return shown != nullptr;
            },
            timeoutMs);
        return shown ? shown->text() : QString();
    }
    bool waitUntilIdle() {
        return QTest::qWaitFor([this]() { return !controller.inConverting(); }, kRunTimeoutMs);
    }
    // Packed frames made by the window's own stages.
    QString packedFrames() {
        const QString alpha = makeFolder("alpha");
        const QString rgb = makeFolder("rgb");
        const QString packed = makeFolder("packed");
        EXPECT_TRUE(controller.extractImageAlphaFromImagesArray(framePaths(), alpha));
        EXPECT_TRUE(controller.extractImageRGBFromImagesArray(framePaths(), rgb));
        const auto in = [](const QString& stage) {
            return *ViewController::allImagesFullPathFrom(stage, nullptr);
        };
        EXPECT_TRUE(controller.appendImageWithAlphaImagesArray(in(alpha), in(rgb), packed));
        return packed;
    }
};

struct Operation {
    const char* title;
    std::function<void(Window&)> callAndCheck;
};

void PrintTo(const Operation& operation, std::ostream* out) {
    *out << operation.title;
}

QString parentOf(const QString& path) {
    return QFileInfo(path).path();
}

bool desktopIsDark() {
    return DesktopAppearance::isDarkMode(DesktopAppearance::appearanceValue());
}

const Operation kOperations[] = {
    {"getTextFieldContent",
     [](Window& w) {
         ASSERT_TRUE(w.controller.getTextFieldContent());
         EXPECT_EQ(w.controller.FPS(), 20);
         EXPECT_EQ(w.controller.rate(), 1100);
         EXPECT_EQ(w.controller.sourceImageFolder(), w.frames);
         w.controller.findChild<QLineEdit*>("FPSField")->setText("60");
         EXPECT_FALSE(w.controller.getTextFieldContent());
         EXPECT_EQ(w.alertText(), "请输入正确的帧率(0<FPS<60).");
         EXPECT_EQ(w.controller.FPS(), 20);
     }},
    {"the quality presets",
     [](Window& w) {
         auto* slider = w.controller.findChild<QSlider*>("rateSlider");
         w.controller.veryHighBtnClicked();
         EXPECT_EQ(slider->value(), 750);
         w.controller.highBtnClicked();
         EXPECT_EQ(slider->value(), 500);
         w.controller.lowBtnClicked();
         EXPECT_EQ(slider->value(), 250);
     }},
    {"isInteger",
     [](Window&) {
         EXPECT_TRUE(ViewController::isInteger(" +5\n"));
         EXPECT_FALSE(ViewController::isInteger("2.5"));
     }},
    {"the scanner and its error record",
     [](Window& w) {
         EXPECT_EQ(ViewController::allImagesFromFolder(w.frames, nullptr),
                   (QStringList{"0.png", "1.png", "2.png"}));
         EXPECT_EQ(ViewController::allImagesFullPathFrom(w.frames, nullptr), w.framePaths());
         ConvertError error;
         EXPECT_FALSE(ViewController::allImagesFullPathFrom(w.frames + "/0.png", &error));
         EXPECT_EQ(error.message(), "传入的路径不是文件夹.");
         EXPECT_EQ(ViewController::errorWithMsg("m")->message(), "m");
         EXPECT_FALSE(ViewController::errorWithMsg(QString()));
     }},
    {"launchConvertTaskWithArguments",
     [](Window& w) {
         const QString calls = w.makeFolder("calls");
         qputenv("ZEV_RECORD_DIR", calls.toUtf8());
         ViewController::launchConvertTaskWithArguments({"a b", "%5d"}, RecordedCalls::recorderPath());
         qunsetenv("ZEV_RECORD_DIR");
         EXPECT_EQ(RecordedCalls::read(calls), (QList<QStringList>{{"a b", "%5d"}}));
     }},
    {"the layer and packing stages",
     [](Window& w) {
         const QString packed = w.packedFrames();
         EXPECT_EQ(w.pngs(packed), (QStringList{"00000.png", "00001.png", "00002.png"}));
         EXPECT_EQ(QImage(packed + "/00001.png").size(), QSize(16, 6));
     }},
    {"the scratch folders are those the next run works in",
     [](Window& w) {
         const QString alpha = w.controller.alphaImagesDirectoryPath();
         const QString append = w.controller.appendImagesDirectoryPath();
         const QString run = parentOf(alpha);
         EXPECT_EQ(parentOf(run), ScratchFolders::userFolder());
         EXPECT_TRUE(QFileInfo(run).isDir());
         EXPECT_EQ(w.controller.rgbImagesDirectoryPath(), run + "/rgbImages");
         EXPECT_EQ(parentOf(append), run);
         HangingEncoder encoder(w.folder.path());
         w.controller.setFfmpegPath(encoder.path());
         w.controller.convertBtnClicked();
         ASSERT_TRUE(QTest::qWaitFor([&]() { return encoder.isRunning(); }, kRunTimeoutMs));
         // The run in progress packed its frames there.
         EXPECT_EQ(w.controller.appendImagesDirectoryPath(), append);
         EXPECT_EQ(w.pngs(append).size(), 3);
         w.controller.cancelConversion();
         ASSERT_TRUE(w.waitUntilIdle());
         EXPECT_FALSE(QFileInfo::exists(run)) << "the run removes its folder";
         EXPECT_NE(w.controller.alphaImagesDirectoryPath(), alpha);
     }},
    {"convertBtnClicked and beginConverting, then a cache run's packed frames",
     [](Window& w) {
         w.controller.convertBtnClicked();
         EXPECT_TRUE(w.controller.inConverting());
         EXPECT_FALSE(w.controller.beginConverting()) << "one run at a time";
         EXPECT_EQ(w.alertText(kRunTimeoutMs), "视频已经生成, 视频路径：" + w.frames + "/output");
         ASSERT_TRUE(w.waitUntilIdle());
         EXPECT_TRUE(QFileInfo(w.frames + "/output/zev.mp4").isFile());
         w.controller.findChild<QCheckBox*>("forceUseCache")->setChecked(true);
         EXPECT_EQ(w.controller.appendImagesDirectoryPath(), FrameCache::packedFramesFolder(w.frames));
         EXPECT_EQ(w.pngs(w.controller.appendImagesDirectoryPath()).size(), 3);
     }},
    {"convertImagesToMp4FromFolder",
     [](Window& w) {
         const QString output = w.frames + "/output";
         const QString video = output + "/zev.mp4";
         const QString packed = w.packedFrames();
         const QString empty = w.makeFolder("empty");
         EXPECT_FALSE(w.controller.convertImagesToMp4FromFolder(packed, QString()));
         w.folder.touch("帧 frames/output/" + VideoDescription::kFileName, "{}");
         ASSERT_TRUE(w.controller.convertImagesToMp4FromFolder(packed, output));
         EXPECT_FALSE(QFileInfo::exists(VideoDescription::pathBeside(video))) << "it would lie";
         QFile written(video);
         ASSERT_TRUE(written.open(QIODevice::ReadOnly));
         const QByteArray before = written.readAll();
         EXPECT_FALSE(before.isEmpty());
         EXPECT_FALSE(w.controller.convertImagesToMp4FromFolder(empty, output));
         written.seek(0);
         EXPECT_EQ(written.readAll(), before) << "a failed encode keeps the video";
         EXPECT_EQ(QDir(output).entryList(QDir::Files | QDir::Hidden), QStringList{"zev.mp4"});
     }},
    {"updateDragFilePath and setInConverting",
     [](Window& w) {
         w.controller.updateDragFilePath(QString());
         EXPECT_EQ(w.controller.findChild<QLineEdit*>("iamgesDirPathField")->text(), w.frames);
         w.controller.setInConverting(true);
         EXPECT_TRUE(w.controller.inConverting());
         EXPECT_NE(w.controller.progressView(), nullptr);
         w.controller.setInConverting(false);
         EXPECT_EQ(w.controller.progressView(), nullptr);
     }},
    {"the appearance",
     [](Window& w) {
         w.controller.settingViewsBackGroundColorWithMode("Dark");
         EXPECT_EQ(w.controller.viewBackgroundColor(), QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.6f));
         w.controller.startProgressAniamtion();
         w.controller.settingProgressViewColor(); // in the desktop's mode
         EXPECT_EQ(w.controller.progressView()->tintColor(), desktopIsDark()
                                                                 ? QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.1f)
                                                                 : QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.3f));
         w.controller.settingViewsBackGroundColorWithMode(QString());
         EXPECT_EQ(w.controller.viewBackgroundColor(), QColor::fromRgbF(0.933f, 0.933f, 0.933f, 1.0f));
         w.controller.stopProgressAniamtion();
         EXPECT_EQ(w.controller.progressView(), nullptr);
         QWidget border;
         auto* field = new QLineEdit(&border);
         w.controller.settingTextField(field, &border);
         EXPECT_FALSE(field->hasFrame());
         w.controller.settingTextField(nullptr, nullptr);
         w.controller.settingViewsBackGroundColorWithMode(desktopIsDark() ? QString() : "Dark");
         w.controller.darkModeChanged();
         EXPECT_EQ(w.controller.viewBackgroundColor().alphaF() < 1.0, desktopIsDark());
     }},
    {"the alerts and the reveal",
     [](Window& w) {
         w.controller.showAlertWithErrorMessage("文件夹下没有 png 图片.");
         EXPECT_EQ(w.alertText(), "文件夹下没有 png 图片.");
         qDeleteAll(w.controller.findChildren<QMessageBox*>());
         w.controller.showConvertSuccessAlertWithPath(w.frames);
         EXPECT_EQ(w.alertText(), "视频已经生成, 视频路径：" + w.frames);
         const QString bin = w.makeFolder("bin");
         const QString calls = w.makeFolder("calls");
         ASSERT_TRUE(QFile::link(RecordedCalls::recorderPath(), bin + "/xdg-open"));
         const QByteArray path = qgetenv("PATH");
         qputenv("PATH", bin.toUtf8() + ':' + path);
         qputenv("ZEV_RECORD_DIR", calls.toUtf8());
         w.controller.openFile(w.frames);
         qputenv("PATH", path);
         qunsetenv("ZEV_RECORD_DIR");
         EXPECT_EQ(RecordedCalls::read(calls), QList<QStringList>{{w.frames}});
     }},
    {"awakeFromNib and viewDidLoad, from the constructor",
     [](Window& w) {
         EXPECT_NEAR(w.controller.windowOpacity(), 0.98, 1.0 / 255);
         EXPECT_EQ(w.controller.findChild<QLineEdit*>("FPSField")->text(), "20");
         EXPECT_FALSE(w.controller.findChild<QCheckBox*>("forceUseCache")->isEnabled());
         EXPECT_EQ(w.controller.rate(), 1000);
         EXPECT_FALSE(w.controller.inConverting());
     }},
};

class ViewControllerOperations : public testing::TestWithParam<Operation> {};

TEST_P(ViewControllerOperations, DoWhatTheirNamesSay) {
    Window w;
    ASSERT_TRUE(TestFrames::writeSequence(w.frames, 3, 8, 6));
    w.controller.updateDragFilePath(w.frames);
    GetParam().callAndCheck(w);
}

INSTANTIATE_TEST_SUITE_P(ViewControllerOperationsTest, ViewControllerOperations,
                         testing::ValuesIn(kOperations), ParamName());

} // namespace
