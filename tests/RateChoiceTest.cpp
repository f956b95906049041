#include "pipeline/RateChoice.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace zev;

namespace {

RateChoice budget(qint64 bytes, double setting) {
    RateChoice choice;
    choice.budget = 512000;
    choice.bytes = bytes;
    choice.setting = setting;
    choice.trials = 4;
    return choice;
}

RateChoice target(double setting) {
    RateChoice choice;
    choice.goal = RateChoice::Goal::Quality;
    choice.target = 40;
    choice.setting = setting;
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
        {"a budget", budget(498761, 27.3),
         "size budget 512,000 bytes: 498,761 bytes (2.6 % under) at CRF 27.3, after 4 trial encode(s)",
         R"({"budget":512000,"bytes":498761,"goal":"budget","setting":27.3,"trials":4})"},
        {"a setting of floating steps", budget(512000, 0.1 * 348), "0.0 % under) at CRF 34.8",
         R"({"budget":512000,"bytes":512000,"goal":"budget","setting":34.8,"trials":4})"},
        {"a target", target(28),
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
