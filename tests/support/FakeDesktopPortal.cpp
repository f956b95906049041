#include "FakeDesktopPortal.h"

#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QFile>
#include <atomic>
#include <csignal>
#include <sys/prctl.h>

namespace zev {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kAppearanceNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kColorSchemeKey = QStringLiteral("color-scheme");
const QString kConnectionName = QStringLiteral("zev-fake-desktop-portal");

// No service folders: nothing on this bus may be started on demand, so a
// withdrawn portal stays away.
const char kBusConfig[] = "<busconfig>\n"
                          "  <type>session</type>\n"
                          "  <listen>unix:tmpdir=%1</listen>\n"
                          "  <auth>EXTERNAL</auth>\n"
                          "  <policy context=\"default\">\n"
                          "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                          "    <allow eavesdrop=\"true\"/>\n"
                          "    <allow own=\"*\"/>\n"
                          "  </policy>\n"
                          "</busconfig>\n";

} // namespace

// The exported object; lives on the portal's own thread.
class FakePortalSettings : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    std::atomic<uint> scheme{0};
    std::atomic<int> reads{0};

public Q_SLOTS:
    QDBusVariant Read(const QString& settingNamespace, const QString& key) {
        ++reads;
        if (settingNamespace != kAppearanceNamespace || key != kColorSchemeKey) {
            sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                           QStringLiteral("Requested setting not found"));
            return {};
        }
        return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme.load())));
    }
};

FakeDesktopPortal::FakeDesktopPortal() {
    const QString configPath = configDir_.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!configDir_.isValid() || !config.open(QIODevice::WriteOnly))
        return;
    config.write(QString::fromLatin1(kBusConfig).arg(configDir_.path()).toUtf8());
    config.close();

    // A test killed on a timeout must not leave its bus running.
    daemon_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                   QStringLiteral("--config-file=") + configPath});
    if (!daemon_.waitForStarted(5000))
        return;
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(5000)) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address_.isEmpty())
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());

    qRegisterMetaType<QDBusVariant>();
    auto settings = std::make_unique<FakePortalSettings>();
    thread_.start();
    settings->moveToThread(&thread_);
    portalConnection_ =
        std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address_, kConnectionName));
    // Exporting makes helper objects beside the exported one, in its thread.
    QDBusConnection* connection = portalConnection_.get();
    FakePortalSettings* exported = settings.get();
    QMetaObject::invokeMethod(
        exported,
        [connection, exported] {
            connection->registerObject(kPortalPath, exported, QDBusConnection::ExportAllSlots);
        },
        Qt::BlockingQueuedConnection);
    settings_ = std::move(settings);
}

FakeDesktopPortal::~FakeDesktopPortal() {
    if (portalConnection_) {
        portalConnection_->unregisterObject(kPortalPath);
        portalConnection_.reset();
        QDBusConnection::disconnectFromBus(kConnectionName);
    }
    thread_.quit();
    thread_.wait();
    settings_.reset();
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        daemon_.waitForFinished(5000);
    }
}

bool FakeDesktopPortal::isRunning() const {
    return portalConnection_ && portalConnection_->isConnected() &&
           QDBusConnection::sessionBus().isConnected() &&
           qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS") == address_;
}

bool FakeDesktopPortal::publish() {
    return portalConnection_ && portalConnection_->registerService(kPortalService);
}

void FakeDesktopPortal::withdraw() {
    if (portalConnection_)
        portalConnection_->unregisterService(kPortalService);
}

void FakeDesktopPortal::setColorScheme(uint scheme) {
    auto* settings = static_cast<FakePortalSettings*>(settings_.get());
    if (!settings)
        return;
    settings->scheme = scheme;
    announceSetting(kAppearanceNamespace, kColorSchemeKey, scheme);
}

void FakeDesktopPortal::announceSetting(const QString& settingNamespace, const QString& key, uint value) {
    if (!portalConnection_)
        return;
    QDBusMessage changed = QDBusMessage::createSignal(
        kPortalPath, QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("SettingChanged"));
    changed << settingNamespace << key << QVariant::fromValue(QDBusVariant(value));
    portalConnection_->send(changed);
}

int FakeDesktopPortal::readCount() const {
    const auto* settings = static_cast<const FakePortalSettings*>(settings_.get());
    return settings ? settings->reads.load() : 0;
}

} // namespace zev

#include "FakeDesktopPortal.moc"
