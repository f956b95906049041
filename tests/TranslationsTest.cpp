#include "core/Translations.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace zev;

namespace {

QString absolutePathReason() {
    return QCoreApplication::translate("PipelineRun", "the frame folder %1 is not an absolute path");
}

// One process, one application: the English locale must leave the texts as
// they are and must not block the Chinese translation installed after it.
TEST(TranslationsTest, EnglishKeepsTheTextsAndChineseTranslatesThem) {
    Translations::install(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(absolutePathReason(), QStringLiteral("the frame folder %1 is not an absolute path"));

    Translations::install(Translations::windowLocale());
    EXPECT_EQ(absolutePathReason(), QStringLiteral("帧文件夹 %1 不是绝对路径"));
}

} // namespace
