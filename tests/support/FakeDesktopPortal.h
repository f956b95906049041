#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <memory>

class QObject;

namespace zev {

// A private session bus with a stand-in for the XDG desktop portal's
// Settings interface on it, answering "org.freedesktop.appearance"
// "color-scheme" the way the real portal does (Read wraps the value in one
// variant too many) and announcing changes with SettingChanged.
//
// The bus becomes the process's session bus, so it must be made before
// anything in the process touches QDBusConnection::sessionBus(). The portal
// answers from a thread of its own, as a real portal answers from another
// process: the code under test blocks on its calls.
class FakeDesktopPortal {
public:
    FakeDesktopPortal();
    ~FakeDesktopPortal();
    FakeDesktopPortal(const FakeDesktopPortal&) = delete;
    FakeDesktopPortal& operator=(const FakeDesktopPortal&) = delete;

    // Whether the private bus runs and this process's session bus is it.
    bool isRunning() const;
    QString busAddress() const { return address_; }

    // Claims or gives up the portal's well-known name on the bus.
    bool publish();
    void withdraw();

    // 0 no preference, 1 prefer dark, 2 prefer light. Announces the change.
    void setColorScheme(uint scheme);
    // Announces a change of any setting, as the portal does for all of them.
    void announceSetting(const QString& settingNamespace, const QString& key, uint value);
    int readCount() const;

private:
    QTemporaryDir configDir_;
    QProcess daemon_;
    QString address_;
    QThread thread_;
    std::unique_ptr<QObject> settings_;
    std::unique_ptr<QDBusConnection> portalConnection_;
};

} // namespace zev
