#include "OutputOptionsDialog.h"

#include "TemporaryFolder.h"
#include "output/PlayerTargets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSettings>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace zev;

namespace {

QComboBox* targetBox(OutputOptionsDialog& sheet) {
    return sheet.findChild<QComboBox*>(QStringLiteral("targetPlayer"));
}

void choose(QComboBox* box, const QString& name) {
    const int index = box->findData(name);
    box->setCurrentIndex(index);
    box->activated(index);
}

// Choosing a target sets the sheet to its choices, those it has no row for
// included; the size and quality stay the user's.
TEST(OutputOptionsDialogTest, ChoosingATargetTakesItsChoices) {
    for (const PlayerTarget& target : PlayerTargets::all()) {
        OutputOptionsDialog sheet;
        OutputOptions mine;
        mine.crf = 20;
        mine.fit = 1280;
        sheet.setOptions(mine);
        QComboBox* box = targetBox(sheet);
        ASSERT_NE(box, nullptr);
        choose(box, target.name);
        OutputOptions expected = target.options;
        expected.crf = 20;
        expected.fit = 1280;
        EXPECT_EQ(sheet.options(), expected) << target.name.toStdString();
        EXPECT_TRUE(sheet.targetWarning().isEmpty()) << sheet.targetWarning().toStdString();
    }
}

TEST(OutputOptionsDialogTest, ARowChangedOverTheTargetWarnsAndNoneDropsIt) {
    OutputOptionsDialog sheet;
    choose(targetBox(sheet), "gift-box");
    OutputOptions changed = sheet.options();
    changed.premultiplied = false;
    sheet.setOptions(changed);
    EXPECT_TRUE(sheet.targetWarning().contains("straight colour")) << sheet.targetWarning().toStdString();
    EXPECT_EQ(sheet.options().target, "gift-box");
    choose(targetBox(sheet), QString());
    EXPECT_TRUE(sheet.targetWarning().isEmpty());
    EXPECT_TRUE(sheet.options().target.isEmpty());
    EXPECT_FALSE(sheet.options().players.any());
    EXPECT_EQ(sheet.options().border, 0);
}

TEST(OutputOptionsDialogTest, RemembersTheTargetAndItsChoices) {
    TemporaryFolder folder;
    QSettings settings(folder.filePath("zev.ini"), QSettings::IniFormat);
    OutputOptions chosen = PlayerTargets::find("gift-box")->options;
    chosen.premultiplied = false;
    OutputOptionsDialog::save(settings, chosen);
    EXPECT_EQ(OutputOptionsDialog::load(settings), chosen);
}

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

OutputOptions withBudget(qint64 bytes) {
    OutputOptions options;
    options.maxBytes = bytes;
    return options;
}

OutputOptions withTarget(double decibels) {
    OutputOptions options;
    options.qualityTarget = decibels;
    return options;
}

OutputOptions withCrf(int crf) {
    OutputOptions options;
    options.crf = crf;
    return options;
}

// A budget, a target or a CRF goes through the sheet and the settings as it
// came; a budget shows in whole kB, so it comes back rounded down to them.
TEST(OutputOptionsDialogTest, ABudgetOrATargetComesBackFromTheSheetAndTheSettings) {
    struct Case {
        const char* what;
        OutputOptions chosen;
        OutputOptions shown;
    };
    const Case cases[] = {{"a budget in kB", withBudget(300 * 1024), withBudget(300 * 1024)},
                          {"a budget in bytes", withBudget(300000), withBudget(292 * 1024)},
                          {"a target", withTarget(42.5), withTarget(42.5)},
                          {"a CRF", withCrf(30), withCrf(30)},
                          {"none", OutputOptions(), OutputOptions()}};
    TemporaryFolder folder;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        OutputOptionsDialog sheet;
        sheet.setOptions(test.chosen);
        EXPECT_EQ(sheet.options(), test.shown);
        QSettings settings(folder.filePath("zev.ini"), QSettings::IniFormat);
        OutputOptionsDialog::save(settings, test.chosen);
        EXPECT_EQ(OutputOptionsDialog::load(settings), test.chosen);
    }
}

TEST(OutputOptionsDialogTest, TickingOneWayOfChoosingTheQualityUnticksTheOthers) {
    OutputOptionsDialog sheet;
    sheet.setOptions(withCrf(20));
    const QList<QCheckBox*> boxes = sheet.findChildren<QCheckBox*>();
    QCheckBox* budget = nullptr;
    for (QCheckBox* box : boxes)
        if (box->text().contains(QStringLiteral("fits in")))
            budget = box;
    ASSERT_TRUE(budget);
    budget->setChecked(true);
    const OutputOptions options = sheet.options();
    EXPECT_FALSE(options.crf);
    EXPECT_EQ(options.maxBytes, 500 * 1024);
    EXPECT_FALSE(options.qualityTarget);
}

} // namespace
