#pragma once

#include <QObject>

#include <atomic>

namespace tardigo {

/// Lets the user stop a sync that runs on another thread. The sync stops after the step it is in,
/// as a kill there would, and a request to a server in flight is broken off; so nothing is left
/// for the next sync to repeat.
class SyncCancel : public QObject {
    Q_OBJECT
public:
    /// From any thread; the sync's own thread hears of it through cancelled().
    void cancel();
    bool isCancelled() const { return _cancelled.load(); }

signals:
    void cancelled();

private:
    std::atomic_bool _cancelled{false};
};

} // namespace tardigo
