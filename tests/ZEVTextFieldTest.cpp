#include "ZEVTextField.h"

#include <QLineEdit>
#include <gtest/gtest.h>

using namespace zev;

namespace {

template <typename Field> QImage drawn(const QString& text, const QString& placeholder) {
    Field field;
    field.resize(240, 30);
    field.setText(text);
    field.setPlaceholderText(placeholder);
    return field.grab().toImage();
}

TEST(ZEVTextFieldTest, DrawsExactlyLikeALineEdit) {
    const QString placeholder = QStringLiteral("                  请拖拽序列帧文件夹到这里");
    for (const QString& text : {QString(), QStringLiteral("/tmp/序列 帧/frames")}) {
        const QImage own = drawn<ZEVTextField>(text, placeholder);
        EXPECT_FALSE(own.isNull());
        EXPECT_EQ(own, drawn<QLineEdit>(text, placeholder)) << text.toStdString();
    }
}

} // namespace
