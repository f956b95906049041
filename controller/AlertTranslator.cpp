#include "AlertTranslator.h"

#include <QCoreApplication>
#include <cstring>

namespace zev {

void AlertTranslator::installOnce() {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || application->findChild<AlertTranslator*>())
        return;
    QCoreApplication::installTranslator(new AlertTranslator(application));
}

QString AlertTranslator::translate(const char* context, const char* sourceText, const char*, int) const {
    if (!context || !sourceText || std::strcmp(context, "QMessageBox") != 0)
        return QString();
    if (std::strcmp(sourceText, "Show Details...") == 0)
        return QStringLiteral("显示详细信息");
    if (std::strcmp(sourceText, "Hide Details...") == 0)
        return QStringLiteral("隐藏详细信息");
    return QString();
}

} // namespace zev
