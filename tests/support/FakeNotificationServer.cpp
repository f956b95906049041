#include "FakeNotificationServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStringList>
#include <QVariantMap>
#include <mutex>

namespace zev {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kConnectionName = QStringLiteral("zev-fake-notification-server");

} // namespace

// The exported object; lives on the server's own thread.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QList<FakeNotificationServer::Notification> received() const {
        const std::lock_guard lock(mutex_);
        return received_;
    }

public Q_SLOTS:
    uint Notify(const QString& application, uint replacesId, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints, int timeout) {
        Q_UNUSED(replacesId)
        Q_UNUSED(actions)
        Q_UNUSED(hints)
        Q_UNUSED(timeout)
        const std::lock_guard lock(mutex_);
        received_.append({application, icon, summary, body});
        return uint(received_.size());
    }

private:
    mutable std::mutex mutex_;
    QList<FakeNotificationServer::Notification> received_;
};

FakeNotificationServer::FakeNotificationServer(const QString& busAddress) {
    if (busAddress.isEmpty())
        return;
    auto server = std::make_unique<FakeNotifications>();
    thread_.start();
    server->moveToThread(&thread_);
    connection_ =
        std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(busAddress, kConnectionName));
    QDBusConnection* connection = connection_.get();
    FakeNotifications* exported = server.get();
    QMetaObject::invokeMethod(
        exported,
        [connection, exported] {
            connection->registerObject(kPath, exported, QDBusConnection::ExportAllSlots);
        },
        Qt::BlockingQueuedConnection);
    server_ = std::move(server);
}

FakeNotificationServer::~FakeNotificationServer() {
    if (connection_) {
        connection_->unregisterObject(kPath);
        connection_.reset();
        QDBusConnection::disconnectFromBus(kConnectionName);
    }
    thread_.quit();
    thread_.wait();
    server_.reset();
}

bool FakeNotificationServer::publish() {
    return connection_ && connection_->isConnected() && connection_->registerService(kService);
}

QList<FakeNotificationServer::Notification> FakeNotificationServer::notifications() const {
    const auto* server = static_cast<const FakeNotifications*>(server_.get());
    return server ? server->received() : QList<Notification>();
}

bool FakeNotificationServer::waitForNotifications(int count, int timeoutMs) const {
    const QDeadlineTimer deadline(timeoutMs);
    while (notifications().size() < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return notifications().size() >= count;
}

} // namespace zev

#include "FakeNotificationServer.moc"
