#include "platform/notification_center.h"

#include <algorithm>

namespace tardigo {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(const void* owner, const QString& name, Handler handler) {
    _observers.push_back({owner, name, std::move(handler), _nextSerial++});
}

void NotificationCenter::removeObserver(const void* owner) {
    std::erase_if(_observers, [owner](const Observer& o) { return o.owner == owner; });
}

void NotificationCenter::postNotification(const QString& name, const void* object) {
    // Observers may remove themselves or others while being notified: walk a snapshot of serials and
    // call only those still registered.
    std::vector<quint64> serials;
    for (const Observer& o : _observers)
        if (o.name == name)
            serials.push_back(o.serial);
    for (quint64 serial : serials) {
        auto it = std::find_if(_observers.begin(), _observers.end(),
                               [serial](const Observer& o) { return o.serial == serial; });
        if (it != _observers.end()) {
            const Handler handler = it->handler;
            handler(name, object);
        }
    }
}

} // namespace tardigo
