#include "appearance/color_scheme_portal.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace tardigo {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kGroup = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");
constexpr uint kPrefersDark = 1; // 2 prefers light, 0 has no preference

/// The value inside however many variants wrap it: Read answers a variant in a variant.
QVariant unwrapped(QVariant value) {
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = qvariant_cast<QDBusVariant>(value).variant();
    return value;
}

} // namespace

ColorSchemePortal::ColorSchemePortal(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), _bus(bus) {
    // The bus finds the slot's argument types by name, which registering the variant's gives it.
    qRegisterMetaType<QDBusVariant>();
}

void ColorSchemePortal::start(std::chrono::milliseconds timeout) {
    if (!_bus.isConnected())
        return;
    _bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QString, QString, QDBusVariant)));
    QDBusMessage read = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Read"));
    read << kGroup << kKey;
    // A portal the bus starts first may take a moment; the windows show meanwhile.
    auto* watcher = new QDBusPendingCallWatcher(_bus.asyncCall(read, int(timeout.count())), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        // A change heard meanwhile is newer than the answer.
        if (!reply.isError() && !_changedSinceAsked)
            take(reply.value().variant());
    });
}

void ColorSchemePortal::settingChanged(const QString& group, const QString& key, const QDBusVariant& value) {
    if (group != kGroup || key != kKey)
        return;
    _changedSinceAsked = true;
    take(value.variant());
}

void ColorSchemePortal::take(const QVariant& value) {
    const QVariant scheme = unwrapped(value);
    const bool dark = scheme.canConvert<uint>() && scheme.toUInt() == kPrefersDark;
    if (dark == _dark)
        return;
    _dark = dark;
    emit preferenceChanged(dark);
}

} // namespace tardigo
