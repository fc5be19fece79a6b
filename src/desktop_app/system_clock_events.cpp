#include "desktop_app/system_clock_events.h"

#include "widgets/gui_log.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <ctime>

#include <sys/timerfd.h>
#include <unistd.h>

namespace tardigo {

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kLoginManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kTimeDate = QStringLiteral("org.freedesktop.timedate1");
const QString kTimeDatePath = QStringLiteral("/org/freedesktop/timedate1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kTimezone = QStringLiteral("Timezone");

} // namespace

SystemClockEvents::SystemClockEvents(const QDBusConnection& systemBus, QObject* parent)
    : QObject(parent), _bus(systemBus) {
    if (_bus.isConnected()) {
        _bus.connect(kLogin, kLoginPath, kLoginManager, QStringLiteral("PrepareForSleep"), this,
                     SLOT(prepareForSleep(bool)));
        _bus.connect(kTimeDate, kTimeDatePath, kProperties, QStringLiteral("PropertiesChanged"), this,
                     SLOT(timeDatePropertiesChanged(QString, QVariantMap, QStringList)));
    }
    _clockTimer = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
    if (_clockTimer < 0 || !watchClock()) {
        qCInfo(lcApp).noquote() << "a clock set while Tardigo runs is not noticed:" << qt_error_string(errno);
        return;
    }
    _clockNotifier = new QSocketNotifier(_clockTimer, QSocketNotifier::Read, this);
    connect(_clockNotifier, &QSocketNotifier::activated, this, &SystemClockEvents::clockSet);
}

SystemClockEvents::~SystemClockEvents() {
    delete _clockNotifier;
    if (_clockTimer >= 0)
        ::close(_clockTimer);
}

bool SystemClockEvents::watchClock() {
    // An expiry decades away that never comes: only its cancellation is wanted.
    itimerspec never{};
    never.it_value.tv_sec = std::time(nullptr) + 50LL * 365 * 24 * 3600;
    return ::timerfd_settime(_clockTimer, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &never, nullptr) == 0;
}

void SystemClockEvents::clockSet() {
    std::uint64_t expirations = 0;
    const ssize_t read = ::read(_clockTimer, &expirations, sizeof expirations);
    if (read >= 0 || errno != ECANCELED)
        return;
    watchClock();
    qCInfo(lcApp) << "the clock was set";
    emit timeMoved();
}

void SystemClockEvents::prepareForSleep(bool sleeping) {
    if (sleeping)
        return;
    qCInfo(lcApp) << "the computer woke from suspend";
    emit timeMoved();
}

void SystemClockEvents::timeDatePropertiesChanged(const QString& interface, const QVariantMap& changed,
                                                  const QStringList& invalidated) {
    if (interface != kTimeDate || (!changed.contains(kTimezone) && !invalidated.contains(kTimezone)))
        return;
    qCInfo(lcApp) << "the time zone changed";
    emit timeMoved();
}

} // namespace tardigo
