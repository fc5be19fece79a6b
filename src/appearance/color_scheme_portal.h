#pragma once

#include <QDBusConnection>
#include <QObject>

#include <chrono>

class QDBusVariant;

namespace tardigo {

/// The desktop's preference for dark or light windows, as the XDG desktop portal's settings tell it
/// ("color-scheme" of "org.freedesktop.appearance"), followed as the user changes it. Without a
/// portal, or one that does not answer in time, the preference is light.
class ColorSchemePortal : public QObject {
    Q_OBJECT
public:
    explicit ColorSchemePortal(const QDBusConnection& bus, QObject* parent = nullptr);

    /// Asks the portal without waiting for its answer, and listens for its changes from now on.
    void start(std::chrono::milliseconds timeout = std::chrono::seconds(2));
    bool prefersDark() const { return _dark; }

signals:
    /// The preference became dark or light.
    void preferenceChanged(bool dark);

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void take(const QVariant& value);

    QDBusConnection _bus;
    bool _dark = false;
    bool _changedSinceAsked = false;
};

} // namespace tardigo
