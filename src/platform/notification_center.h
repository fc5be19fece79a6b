#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace tardigo {

/// Delivers named notifications synchronously to every observer, in the order they registered.
class NotificationCenter {
public:
    using Handler = std::function<void(const QString& name, const void* object)>;

    static NotificationCenter& defaultCenter();

    /// Registers a handler; `owner` identifies the observer for removeObserver.
    void addObserver(const void* owner, const QString& name, Handler handler);
    /// Removes every registration of the owner.
    void removeObserver(const void* owner);
    void postNotification(const QString& name, const void* object = nullptr);

private:
    struct Observer {
        const void* owner;
        QString name;
        Handler handler;
        quint64 serial;
    };
    std::vector<Observer> _observers;
    quint64 _nextSerial = 0;
};

} // namespace tardigo
