#include "core/Translations.h"

#include <QCoreApplication>
#include <QTranslator>
#include <memory>

namespace zev {

void Translations::install(const QLocale& locale) {
    QCoreApplication* application = QCoreApplication::instance();
    const QString name = QStringLiteral("zevTranslations");
    if (!application || application->findChild<QTranslator*>(name))
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(locale, QStringLiteral("zev"), QStringLiteral("_"), QStringLiteral(":/i18n")))
        return;
    // Owned by the application, which keeps it installed until it goes.
    translator->setObjectName(name);
    translator->setParent(application);
    QCoreApplication::installTranslator(translator.release());
}

} // namespace zev
