#include "DesktopAppearance.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPalette>

namespace zev {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kSettingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearanceNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kColorSchemeKey = QStringLiteral("color-scheme");

enum PortalColorScheme : uint { NoPreference = 0, PreferDark = 1, PreferLight = 2 };

// The appearance is read on the main thread whenever the window restyles;
// a portal that is slow to start must not freeze it.
constexpr int kPortalTimeoutMs = 250;

// Settings.Read wraps the setting in one variant more than its signature
// says; unwrapping until a plain value remains also reads well-behaved
// replies and the SettingChanged payload.
QVariant unwrapped(QVariant value) {
    while (value.metaType() == QMetaType::fromType<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    return value;
}

std::optional<QString> valueForScheme(const QVariant& scheme) {
    bool isNumber = false;
    const uint number = unwrapped(scheme).toUInt(&isNumber);
    if (!isNumber || number == NoPreference || number > PreferLight)
        return std::nullopt;
    return number == PreferDark ? DesktopAppearance::kDark : QString();
}

} // namespace

DesktopAppearance::DesktopAppearance(QObject* parent)
    : QObject(parent) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.connect(kPortalService, kPortalPath, kSettingsInterface, QStringLiteral("SettingChanged"), this,
                    SLOT(portalSettingChanged(QString, QString, QDBusVariant)));
}

QString DesktopAppearance::appearanceValue() {
    for (const auto source : {&overrideValue, &portalValue, &paletteValue}) {
        if (const std::optional<QString> value = source())
            return *value;
    }
    return {};
}

std::optional<QString> DesktopAppearance::overrideValue() {
    const QString value = qEnvironmentVariable(kOverrideVariable);
    if (value.isEmpty())
        return std::nullopt;
    return value;
}

std::optional<QString> DesktopAppearance::portalValue() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    QDBusMessage read = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kSettingsInterface,
                                                       QStringLiteral("Read"));
    read << kAppearanceNamespace << kColorSchemeKey;
    const QDBusMessage reply = bus.call(read, QDBus::Block, kPortalTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return valueForScheme(reply.arguments().constFirst());
}

std::optional<QString> DesktopAppearance::paletteValue() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return std::nullopt;
    const bool darkWindow = QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5;
    return darkWindow ? kDark : QString();
}

void DesktopAppearance::notifyMayHaveChanged() {
    Q_EMIT appearanceChanged();
}

void DesktopAppearance::portalSettingChanged(const QString& settingNamespace, const QString& key,
                                             const QDBusVariant&) {
    if (settingNamespace == kAppearanceNamespace && key == kColorSchemeKey)
        Q_EMIT appearanceChanged();
}

} // namespace zev
