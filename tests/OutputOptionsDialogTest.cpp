#include "OutputOptionsDialog.h"

#include "TemporaryFolder.h"
#include "output/PlayerTargets.h"

#include <QComboBox>
#include <QSettings>
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

} // namespace
