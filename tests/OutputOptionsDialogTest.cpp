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

using Codec = VideoFormat::Codec;
using Container = VideoFormat::Container;

OutputOptions encoded(VideoFormat format, std::optional<int> crf, const QString& sound = {}) {
    OutputOptions options;
    options.format = format;
    options.crf = crf;
    options.audioFile = sound;
    return options;
}

template <typename Field, typename Value> OutputOptions with(Field OutputOptions::*field, Value value) {
    OutputOptions options;
    options.*field = value;
    return options;
}

// Every codec and container the sheet offers (with a CRF at the top of the
// codec's own scale and a sound file), a budget, a target and a target's
// choices come back from the sheet as they were set, and outlive the window
// through the settings; a budget shows in whole kB, so the sheet rounds it
// down to them.
TEST(OutputOptionsDialogTest, ChoicesComeBackFromTheSheetAndTheSettings) {
    const QList<OutputOptions> formats{
        encoded(VideoFormat(), 51),
        encoded(VideoFormat::forCodec(Codec::H265), 51, "/sounds/loop.wav"),
        encoded(VideoFormat::forCodec(Codec::Av1), 63),
        encoded({Codec::Av1, Container::Webm}, 63, "/sounds/a b.m4a"),
        encoded(VideoFormat::forCodec(Codec::Vp9), std::nullopt, "/sounds/x.ogg"),
    };
    ASSERT_EQ(formats.size(), OutputOptionsDialog::formatChoices().size());
    OutputOptions giftBox = PlayerTargets::find("gift-box")->options;
    giftBox.premultiplied = false;
    struct Case {
        OutputOptions chosen;
        OutputOptions shown;
    };
    QList<Case> cases{
        {with(&OutputOptions::maxBytes, 300 * 1024), with(&OutputOptions::maxBytes, 300 * 1024)},
        {with(&OutputOptions::maxBytes, 300000), with(&OutputOptions::maxBytes, 292 * 1024)},
        {with(&OutputOptions::qualityTarget, 42.5), with(&OutputOptions::qualityTarget, 42.5)},
        {OutputOptions(), OutputOptions()},
        {giftBox, giftBox}};
    for (const OutputOptions& format : formats)
        cases.append({format, format});
    TemporaryFolder folder;
    for (const Case& test : cases) {
        SCOPED_TRACE(int(&test - cases.constData()));
        OutputOptionsDialog sheet;
        sheet.setOptions(test.chosen);
        EXPECT_EQ(sheet.options(), test.shown);
        QSettings settings(folder.filePath("zev.ini"), QSettings::IniFormat);
        OutputOptionsDialog::save(settings, test.chosen);
        EXPECT_EQ(OutputOptionsDialog::load(settings), test.chosen);
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

TEST(OutputOptionsDialogTest, TickingOneWayOfChoosingTheQualityUnticksTheOthers) {
    OutputOptionsDialog sheet;
    sheet.setOptions(with(&OutputOptions::crf, 20));
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
