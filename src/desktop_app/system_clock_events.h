#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class QSocketNotifier;

namespace tardigo {

/// The moments the computer's time jumps under the application's timers, which count the time it
/// runs: waking from suspend (logind's PrepareForSleep on the system bus), the clock set (a timer
/// the kernel cancels when the real-time clock is set) and the time zone changed (timedated's
/// Timezone on the system bus).
class SystemClockEvents : public QObject {
    Q_OBJECT
public:
    /// Listens on that bus; without one, only the clock is followed.
    explicit SystemClockEvents(const QDBusConnection& systemBus, QObject* parent = nullptr);
    ~SystemClockEvents() override;

signals:
    /// The computer woke, or its clock or time zone was set.
    void timeMoved();

private slots:
    // The buses' signals, which QtDBus delivers to slots named by their signature.
    void prepareForSleep(bool sleeping);
    void timeDatePropertiesChanged(const QString& interface, const QVariantMap& changed,
                                   const QStringList& invalidated);

private:
    /// Arms the timer that the kernel cancels when the clock is set; false when there is none.
    bool watchClock();
    void clockSet();

    QDBusConnection _bus;
    int _clockTimer = -1;
    QSocketNotifier* _clockNotifier = nullptr;
};

} // namespace tardigo
