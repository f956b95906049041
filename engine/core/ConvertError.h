#pragma once

#include <QString>
#include <QVariantMap>

namespace zev {

// The error record a failed frame-folder scan hands back: a fixed domain and
// code, and the user-facing sentence under the key "msg".
struct ConvertError {
    static inline const QString kDomain = QStringLiteral("传入文件错误");
    static constexpr qint64 kCode = 100;
    static inline const QString kMessageKey = QStringLiteral("msg");

    QString domain;
    qint64 code = 0;
    QVariantMap userInfo;

    QString message() const { return userInfo.value(kMessageKey).toString(); }
};

} // namespace zev
