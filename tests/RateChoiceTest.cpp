#include "pipeline/RateChoice.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace zev;

namespace {

RateChoice budget() {
    RateChoice choice;
    choice.budget = 512000;
    choice.bytes = 512000;
    choice.setting = 0.1 * 348;
    choice.trials = 4;
    return choice;
}

RateChoice target() {
    RateChoice choice;
    choice.goal = RateChoice::Goal::Quality;
    choice.target = 40;
    choice.setting = 28;
    choice.bytes = 1234567;
    choice.maskPsnr = 46.2149;
    choice.colourPsnr = 40.3;
    choice.trials = 5;
    return choice;
}

// The line and the object say the goal, what was kept and how far under the
// budget; a setting reached in tenths is written as such, not as the
// nearest double's seventeen digits.
TEST(RateChoiceTest, TellsWhatWasChosenInTextAndJson) {
    struct Case {
        const char* what;
        RateChoice choice;
        const char* text;
        const char* json;
    };
    const Case cases[] = {
        {"a setting of floating steps", budget(), "0.0 % under) at CRF 34.8",
         R"({"budget":512000,"bytes":512000,"goal":"budget","setting":34.8,"trials":4})"},
        {"a target", target(),
         "quality target 40.0 dB: mask 46.21 dB, colour 40.30 dB at CRF 28.0, 1,234,567 bytes",
         R"({"bytes":1234567,"colour":40.3,"goal":"quality","mask":46.21,"setting":28,"target":40,"trials":5})"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_TRUE(test.choice.text().contains(QString::fromUtf8(test.text)))
            << test.choice.text().toStdString();
        EXPECT_EQ(QJsonDocument(test.choice.toJson()).toJson(QJsonDocument::Compact), QByteArray(test.json));
    }
}

} // namespace
