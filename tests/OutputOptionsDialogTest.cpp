#include "OutputOptionsDialog.h"

#include "TemporaryFolder.h"

#include <QComboBox>
#include <QSettings>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace zev;

namespace {

using Codec = VideoFormat::Codec;
using Container = VideoFormat::Container;

OutputOptions encoded(VideoFormat format, std::optional<int> crf, const QString& sound = {}) {
    OutputOptions options;
    options.format = format;
    options.crf = crf;
    options.audioFile = sound;
    return options;
}

// Every codec and container the sheet offers, with a CRF at the top of the
// codec's own scale and a sound file, comes back as it was set, and
// outlives the window through the settings.
TEST(OutputOptionsDialogTest, KeepsEachCodecItsCrfAndTheSound) {
    TemporaryFolder folder;
    QSettings settings(folder.filePath("zev.ini"), QSettings::IniFormat);
    const QList<OutputOptions> chosen{
        encoded(VideoFormat(), 51),
        encoded(VideoFormat::forCodec(Codec::H265), 51, "/sounds/loop.wav"),
        encoded(VideoFormat::forCodec(Codec::Av1), 63),
        encoded({Codec::Av1, Container::Webm}, 63, "/sounds/a b.m4a"),
        encoded(VideoFormat::forCodec(Codec::Vp9), std::nullopt, "/sounds/x.ogg"),
    };
    ASSERT_EQ(chosen.size(), OutputOptionsDialog::formatChoices().size());
    for (const OutputOptions& options : chosen) {
        OutputOptionsDialog sheet;
        sheet.setOptions(options);
        EXPECT_EQ(sheet.options(), options) << VideoFormat::codecName(options.format.codec).toStdString();
        OutputOptionsDialog::save(settings, options);
        EXPECT_EQ(OutputOptionsDialog::load(settings), options);
    }
}

TEST(OutputOptionsDialogTest, TheCrfFollowsTheCodecsScale) {
    OutputOptionsDialog sheet;
    auto* codec = sheet.findChild<QComboBox*>(QStringLiteral("codecChoice"));
    auto* crf = sheet.findChild<QSpinBox*>(QStringLiteral("crfValue"));
    ASSERT_TRUE(codec && crf);
    EXPECT_EQ(crf->maximum(), 51);
    codec->setCurrentIndex(
        int(OutputOptionsDialog::formatChoices().indexOf(VideoFormat::forCodec(Codec::Vp9))));
    EXPECT_EQ(crf->maximum(), 63);
    crf->setValue(60);
    codec->setCurrentIndex(0);
    EXPECT_EQ(crf->maximum(), 51);
    EXPECT_EQ(crf->value(), 51) << "kept within x264's scale";
}

// Settings written by hand or by another version never make a video the
// encoder cannot write.
TEST(OutputOptionsDialogTest, LoadsOnlyWhatCanBeEncoded) {
    TemporaryFolder folder;
    QSettings settings(folder.filePath("zev.ini"), QSettings::IniFormat);
    settings.setValue("output/codec", "vp9");
    settings.setValue("output/container", "mp4");
    settings.setValue("output/crf", 60);
    const OutputOptions loaded = OutputOptionsDialog::load(settings);
    EXPECT_EQ(loaded.format, VideoFormat()) << "VP9 goes in WebM only";
    EXPECT_FALSE(loaded.crf.has_value()) << "60 is beyond x264's scale";
    settings.setValue("output/container", "webm");
    EXPECT_EQ(OutputOptionsDialog::load(settings).crf, 60);
}

} // namespace
