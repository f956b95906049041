#pragma once

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QThread>
#include <memory>

class QObject;

namespace zev {

// A stand-in desktop notification server (org.freedesktop.Notifications) on
// a private bus, such as FakeDesktopPortal's, recording every Notify call.
// It answers from a thread of its own, as a real server answers from
// another process.
class FakeNotificationServer {
public:
    struct Notification {
        QString application;
        QString icon;
        QString summary;
        QString body;
    };

    explicit FakeNotificationServer(const QString& busAddress);
    ~FakeNotificationServer();
    FakeNotificationServer(const FakeNotificationServer&) = delete;
    FakeNotificationServer& operator=(const FakeNotificationServer&) = delete;

    // Claims the server's well-known name on the bus.
    bool publish();

    QList<Notification> notifications() const;
    // Runs the event loop until count notifications came or timeoutMs passed.
    bool waitForNotifications(int count, int timeoutMs = 5000) const;

private:
    QThread thread_;
    std::unique_ptr<QObject> server_;
    std::unique_ptr<QDBusConnection> connection_;
};

} // namespace zev
