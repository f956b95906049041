#pragma once

#include <QEvent>
#include <QObject>
#include <QString>
#include <optional>

class QDBusVariant;

namespace zev {

// Where the window learns whether the desktop is light or dark.
//
// The appearance value is read afresh on every call, never remembered, from
// the first of these that has an answer:
//  1. the ZEV_APPEARANCE environment variable, when set and not empty: its
//     text is the value itself, so users and tests can force either look;
//  2. the XDG desktop portal's "org.freedesktop.appearance" "color-scheme"
//     setting over the session bus (GNOME 42+, KDE Plasma 5.24+ and others
//     publish it): 1, "prefer dark", gives "Dark"; 2, "prefer light", gives
//     no value; 0, "no preference", asks the next source;
//  3. the application palette: a window colour darker than mid grey gives
//     "Dark". Desktops without the portal (older KDE, themes set through
//     qt6ct) still reach the application this way.
// Qt 6.4 has no colour-scheme query of its own (it came in 6.5).
//
// Dark mode is exactly the value "Dark", compared with letter case; anything
// else, an empty value included, is light mode.
class DesktopAppearance : public QObject {
    Q_OBJECT

public:
    static inline const QString kDark = QStringLiteral("Dark");
    static constexpr const char* kOverrideVariable = "ZEV_APPEARANCE";

    // Listens to the portal's change signal on the session bus, if there is
    // one. Portal signals are delivered on the thread this object lives on.
    explicit DesktopAppearance(QObject* parent = nullptr);

    static QString appearanceValue();
    static bool isDarkMode(const QString& value) { return value == kDark; }

    // The application events after which the palette, and so possibly the
    // appearance value, may have changed. Widgets receive them in
    // changeEvent(); the window forwards them through notifyMayHaveChanged().
    static bool isAppearanceEvent(QEvent::Type type) {
        return type == QEvent::ApplicationPaletteChange || type == QEvent::ThemeChange;
    }

public Q_SLOTS:
    void notifyMayHaveChanged();

Q_SIGNALS:
    // The desktop may have switched between light and dark; read
    // appearanceValue() again.
    void appearanceChanged();

private Q_SLOTS:
    void portalSettingChanged(const QString& settingNamespace, const QString& key, const QDBusVariant& value);

private:
    static std::optional<QString> overrideValue();
    static std::optional<QString> portalValue();
    static std::optional<QString> paletteValue();
};

} // namespace zev
