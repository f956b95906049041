#include "session/SettingsValidator.h"

#include "ParamName.h"
#include "TemporaryFolder.h"
#include "core/UserTexts.h"

#include <gtest/gtest.h>

using namespace zev;

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
    SettingsValidator validator;
    FrontEndInputs inputs;
    inputs.fpsText = c.fps;
    inputs.sliderValue = 0.25;
    switch (c.path) {
    case ValidationCase::ExistingFolder:
        inputs.folderText = folder.path();
        break;
    case ValidationCase::PngFile:
        inputs.folderText = folder.touch("0.png");
        break;
    case ValidationCase::Missing:
        inputs.folderText = folder.filePath("missing");
        break;
    case ValidationCase::Empty:
        inputs.folderText = QString();
        break;
    }

    const Result<ConversionSettings> accepted = validator.validate(inputs);

    if (c.message.isEmpty()) {
        ASSERT_TRUE(accepted.ok()) << c.title;
        EXPECT_TRUE(accepted.reason().isEmpty()) << c.title;
        EXPECT_EQ(validator.settings().fps, c.fpsValue);
        EXPECT_EQ(validator.settings().rate, 1100);
        EXPECT_EQ(validator.settings().sourceImageFolder, inputs.folderText);
        EXPECT_EQ(accepted->fps, c.fpsValue) << "the answer is what was stored";
    } else {
        EXPECT_FALSE(accepted.ok()) << c.title;
        EXPECT_EQ(accepted.reason(), c.message) << c.title;
        EXPECT_EQ(validator.settings().fps, 20) << "nothing is stored on failure";
        EXPECT_EQ(validator.settings().rate, 1000);
        EXPECT_TRUE(validator.settings().sourceImageFolder.isNull());
    }
}

using T = UserTexts;
using V = ValidationCase;

INSTANTIATE_TEST_SUITE_P(
    Inputs, Validation,
    ::testing::Values(V{"initial", "20", V::ExistingFolder, {}, 20}, V{"one", "1", V::ExistingFolder, {}, 1},
                      V{"fifty-nine", "59", V::ExistingFolder, {}, 59},
                      V{"plus", "+5", V::ExistingFolder, {}, 5},
                      V{"blanks", " 12 ", V::ExistingFolder, {}, 12},
                      V{"zero", "0", V::ExistingFolder, T::kFpsOutOfRange, 0},
                      V{"sixty", "60", V::ExistingFolder, T::kFpsOutOfRange, 0},
                      V{"negative", "-3", V::ExistingFolder, T::kFpsOutOfRange, 0},
                      V{"huge", "99999999999999999999999", V::ExistingFolder, T::kFpsOutOfRange, 0},
                      V{"fraction", "2.5", V::ExistingFolder, T::kBadFpsText, 0},
                      V{"empty", "", V::ExistingFolder, T::kBadFpsText, 0},
                      V{"letters", "abc", V::ExistingFolder, T::kBadFpsText, 0},
                      V{"png file", "20", V::PngFile, T::kNotAFolder, 0},
                      V{"missing folder", "20", V::Missing, T::kFolderMissing, 0},
                      V{"nothing dropped", "20", V::Empty, T::kFolderMissing, 0},
                      V{"frame rate checked first", "abc", V::Missing, T::kBadFpsText, 0},
                      V{"range checked before folder", "60", V::PngFile, T::kFpsOutOfRange, 0}),
    ParamName());

TEST(SettingsValidatorTest, BitrateFollowsTheSlider) {
    TemporaryFolder folder;
    const std::pair<double, qint64> cases[] = {{0.0, 100},
                                               {0.1, 500},
                                               {SettingsValidator::kLowPreset, 1100},
                                               {SettingsValidator::kHighPreset, 2100},
                                               {SettingsValidator::kVeryHighPreset, 3100},
                                               {1.0, 4100}};
    for (const auto& [slider, rate] : cases) {
        SettingsValidator validator;
        FrontEndInputs inputs;
        inputs.folderText = folder.path();
        inputs.sliderValue = slider;
        ASSERT_TRUE(validator.validate(inputs).ok());
        EXPECT_EQ(validator.settings().rate, rate) << "slider " << slider;
        EXPECT_EQ(SettingsValidator::rateForSlider(slider), rate) << "slider " << slider;
    }
}

TEST(SettingsValidatorTest, SettingsOfTheLastSuccessSurviveAFailure) {
    TemporaryFolder folder;
    SettingsValidator validator;
    FrontEndInputs inputs;
    inputs.folderText = folder.path();
    inputs.fpsText = "30";
    inputs.sliderValue = 0.75;
    inputs.cacheTicked = true;
    ASSERT_TRUE(validator.validate(inputs).ok());

    inputs.fpsText = "45";
    inputs.sliderValue = 0.0;
    inputs.cacheTicked = false;
    inputs.folderText = folder.filePath("missing");
    EXPECT_FALSE(validator.validate(inputs).ok());
    EXPECT_EQ(validator.settings().fps, 30);
    EXPECT_EQ(validator.settings().rate, 3100);
    EXPECT_EQ(validator.settings().sourceImageFolder, folder.path());
    EXPECT_TRUE(validator.settings().useCache);
}

TEST(SettingsValidatorTest, ChoicesTravelWithTheSettings) {
    TemporaryFolder folder;
    SettingsValidator validator;
    FrontEndInputs inputs;
    inputs.folderText = folder.path();
    for (const auto& [cache, express] : {std::pair{true, false}, std::pair{false, true}}) {
        inputs.cacheTicked = cache;
        inputs.expressTicked = express;
        const Result<ConversionSettings> settings = validator.validate(inputs);
        ASSERT_TRUE(settings.ok());
        EXPECT_EQ(settings->useCache, cache);
        EXPECT_EQ(settings->express, express);
    }
}

TEST(SettingsValidatorTest, DefaultsPointAtTheResourceFolder) {
    SettingsValidator validator;
    validator.setFfmpegPath("/opt/ffmpeg");
    const ConversionSettings& settings = validator.settings();
    EXPECT_EQ(settings.fps, 20);
    EXPECT_EQ(settings.rate, 1000);
    EXPECT_EQ(settings.convertPath, ConversionSettings::resourcePath() + "/imageMagick/bin/convert");
    EXPECT_TRUE(settings.convertPath.endsWith("/share/zev/imageMagick/bin/convert"));
    EXPECT_EQ(settings.ffmpegPath, "/opt/ffmpeg");
    EXPECT_TRUE(settings.ffprobePath.endsWith("/share/zev/ffmpeg/ffprobe"));
}

TEST(SettingsValidatorTest, AcceptedFolderHoldsTheOutputFolder) {
    TemporaryFolder folder;
    const QString frames = folder.makeFolder(QStringLiteral("帧 it's"));
    SettingsValidator validator;
    FrontEndInputs inputs;
    for (const QString& text : {frames, frames + u'/'}) {
        inputs.folderText = text;
        const Result<ConversionSettings> settings = validator.validate(inputs);
        ASSERT_TRUE(settings.ok());
        EXPECT_EQ(settings->outputFolder(), frames + "/output") << text.toStdString();
    }
}

} // namespace
