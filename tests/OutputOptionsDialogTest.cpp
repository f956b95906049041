#include "OutputOptionsDialog.h"

#include <QCheckBox>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zev;

namespace {

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
    QTemporaryDir folder;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        OutputOptionsDialog sheet;
        sheet.setOptions(test.chosen);
        EXPECT_EQ(sheet.options(), test.shown);
        QSettings settings(folder.filePath(QStringLiteral("zev.ini")), QSettings::IniFormat);
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
