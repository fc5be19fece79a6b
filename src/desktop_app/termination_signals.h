#pragma once

#include <QObject>

class QSocketNotifier;

namespace tardigo {

/// SIGTERM, SIGINT and SIGHUP as a Qt signal on the event loop, so that a session that ends, or a
/// terminal that closes, quits Tardigo as File > Quit does instead of killing it; the same signal
/// again ends it at once. One per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    QSocketNotifier* _notifier = nullptr;
};

} // namespace tardigo
