#pragma once

#include <QString>

namespace zev {

// Tells the user something through the desktop's notification server
// (org.freedesktop.Notifications on the session bus), for when the window is
// not in front. Nothing is waited for and nothing is reported: where there
// is no session bus or no server, the notification is skipped quietly.
class DesktopNotifier {
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
    // The icon named after the installed zev.png, and the name the server
    // shows as the sender.
    static inline const QString kIconName = QStringLiteral("zev");
    static inline const QString kApplicationName = QStringLiteral("ZEV");

    // Answers whether the request went out; whether a server showed it is
    // not known.
    static bool notify(const QString& summary, const QString& body);
};

} // namespace zev
