#include "FakeFrontEnd.h"
#include "ParamName.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

// Validation of the three settings inputs, in their fixed order.
struct ValidationCase {
    const char* title;
    QString fps;
    enum { ExistingFolder, PngFile, Missing, Empty } path;
    QString message; // empty: accepted
    qint64 fpsValue;
};

class Validation : public ::testing::TestWithParam<ValidationCase> {};

TEST_P(Validation, ChecksInOrder) {
    const ValidationCase c = GetParam();
    TemporaryFolder folder;
    FakeFrontEnd front;
    front.fps = c.fps;
    front.slider = 0.25;
    switch (c.path) {
    case ValidationCase::ExistingFolder:
        front.path = folder.path();
        break;
    case ValidationCase::PngFile:
        front.path = folder.touch("0.png");
        break;
    case ValidationCase::Missing:
        front.path = folder.filePath("missing");
        break;
    case ValidationCase::Empty:
        front.path = QString();
        break;
    }

    const bool accepted = front.getTextFieldContent();

    if (c.message.isEmpty()) {
        EXPECT_TRUE(accepted) << c.title;
        EXPECT_TRUE(front.errors().isEmpty()) << c.title;
        EXPECT_EQ(front.FPS(), c.fpsValue);
        EXPECT_EQ(front.rate(), 1100);
        EXPECT_EQ(front.sourceImageFolder(), front.path);
    } else {
        EXPECT_FALSE(accepted) << c.title;
        EXPECT_EQ(front.errors(), QStringList{c.message}) << c.title;
        EXPECT_EQ(front.FPS(), 20) << "nothing is stored on failure";
        EXPECT_EQ(front.rate(), 1000);
        EXPECT_TRUE(front.sourceImageFolder().isNull());
    }
}

using C = ConversionController;
using V = ValidationCase;

INSTANTIATE_TEST_SUITE_P(
    Inputs, Validation,
    ::testing::Values(V{"initial", "20", V::ExistingFolder, {}, 20}, V{"one", "1", V::ExistingFolder, {}, 1},
                      V{"fifty-nine", "59", V::ExistingFolder, {}, 59},
                      V{"plus", "+5", V::ExistingFolder, {}, 5},
                      V{"blanks", " 12 ", V::ExistingFolder, {}, 12},
                      V{"zero", "0", V::ExistingFolder, C::kFpsOutOfRange, 0},
                      V{"sixty", "60", V::ExistingFolder, C::kFpsOutOfRange, 0},
                      V{"negative", "-3", V::ExistingFolder, C::kFpsOutOfRange, 0},
                      V{"huge", "99999999999999999999999", V::ExistingFolder, C::kFpsOutOfRange, 0},
                      V{"fraction", "2.5", V::ExistingFolder, C::kBadFpsText, 0},
                      V{"empty", "", V::ExistingFolder, C::kBadFpsText, 0},
                      V{"letters", "abc", V::ExistingFolder, C::kBadFpsText, 0},
                      V{"png file", "20", V::PngFile, C::kNotAFolder, 0},
                      V{"missing folder", "20", V::Missing, C::kFolderMissing, 0},
                      V{"nothing dropped", "20", V::Empty, C::kFolderMissing, 0},
                      V{"frame rate checked first", "abc", V::Missing, C::kBadFpsText, 0},
                      V{"range checked before folder", "60", V::PngFile, C::kFpsOutOfRange, 0}),
    ParamName());

TEST(ConversionControllerTest, BitrateFollowsTheSlider) {
    TemporaryFolder folder;
    const std::pair<double, qint64> cases[] = {{0.0, 100},  {0.1, 500},   {0.25, 1100},
                                               {0.5, 2100}, {0.75, 3100}, {1.0, 4100}};
    for (const auto& [slider, rate] : cases) {
        FakeFrontEnd front;
        front.path = folder.path();
        front.slider = slider;
        ASSERT_TRUE(front.getTextFieldContent());
        EXPECT_EQ(front.rate(), rate) << "slider " << slider;
    }
}

TEST(ConversionControllerTest, SettingsOfTheLastSuccessSurviveAFailure) {
    TemporaryFolder folder;
    FakeFrontEnd front;
    front.path = folder.path();
    front.fps = "30";
    front.slider = 0.75;
    ASSERT_TRUE(front.getTextFieldContent());

    front.fps = "45";
    front.slider = 0.0;
    front.path = folder.filePath("missing");
    EXPECT_FALSE(front.getTextFieldContent());
    EXPECT_EQ(front.FPS(), 30);
    EXPECT_EQ(front.rate(), 3100);
    EXPECT_EQ(front.sourceImageFolder(), folder.path());
}

TEST(ConversionControllerTest, PresetsOnlyMoveTheSlider) {
    FakeFrontEnd front;
    front.highBtnClicked();
    EXPECT_DOUBLE_EQ(front.slider, 0.5);
    front.veryHighBtnClicked();
    EXPECT_DOUBLE_EQ(front.slider, 0.75);
    front.lowBtnClicked();
    EXPECT_DOUBLE_EQ(front.slider, 0.25);
    EXPECT_TRUE(front.events().isEmpty());
    EXPECT_EQ(front.rate(), 1000);
}

TEST(ConversionControllerTest, DefaultsPointAtTheResourceFolder) {
    FakeFrontEnd front;
    EXPECT_EQ(front.FPS(), 20);
    EXPECT_EQ(front.rate(), 1000);
    EXPECT_TRUE(front.convertPath().endsWith("/share/zev/imageMagick/bin/convert"));
    EXPECT_TRUE(front.ffmpegPath().endsWith("/share/zev/ffmpeg/ffmpeg"));
    EXPECT_TRUE(front.ffprobePath().endsWith("/share/zev/ffmpeg/ffprobe"));
    EXPECT_EQ(front.conversionSettings().ffprobePath, front.ffprobePath());
    EXPECT_FALSE(front.inConverting());
}

} // namespace
