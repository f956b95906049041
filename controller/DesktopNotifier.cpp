#include "DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace zev {

namespace {

// The server's own default: it decides how long the notification stays.
constexpr int kServerChoosesTimeout = -1;

} // namespace

bool DesktopNotifier::notify(const QString& summary, const QString& body) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage request =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // Servers read a little markup in the body (the common ones all do); a
    // folder named "<b>" must not become bold.
    QString plainBody = body;
    plainBody.replace(u'&', QStringLiteral("&amp;"))
        .replace(u'<', QStringLiteral("&lt;"))
        .replace(u'>', QStringLiteral("&gt;"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("zev"));
    request << kApplicationName << uint(0) << kIconName << summary << plainBody << QStringList() << hints
            << kServerChoosesTimeout;
    // Sent without waiting for the reply, so an error reply (no server on
    // the bus) goes nowhere.
    return bus.send(request);
}

} // namespace zev
