#pragma once

#include "alerts/sheet_window.h"

#include <deque>
#include <memory>

namespace tardigo {

/// The first-in, first-out queue of alert sheets of one document window: each alert waits until the
/// window carries no sheet, and the next follows when that sheet ends.
class AlertQueue {
public:
    /// Observes the window's sheet endings for the queue's lifetime.
    explicit AlertQueue(std::shared_ptr<SheetWindow> window);
    /// Pending alerts are dropped unshown.
    ~AlertQueue();
    AlertQueue(const AlertQueue&) = delete;
    AlertQueue& operator=(const AlertQueue&) = delete;

    /// Queues an alert and shows it if the window is free. A caller that needs the answer passes
    /// onDismiss; without one the queue handles the dismissal itself.
    void addAlert(const QString& title, const QString& message, bool critical,
                  const std::optional<QString>& defaultButton, const std::optional<QString>& alternateButton,
                  const std::optional<QString>& otherButton, AlertDismissal onDismiss = {});
    /// The same for a sheet described in full.
    void addAlert(const AlertSheet& sheet, AlertDismissal onDismiss = {});
    /// Shows the oldest pending alert if the window is free; else waits for the window's sheet to end.
    void display();
    void sheetEnded();
    /// The queue's own dismissal handling: the default button moves on to the next alert.
    void alertDismissed(AlertReturn answer);

    qsizetype pendingCount() const { return qsizetype(_pending.size()); }
    bool isWaitingForSheet() const { return _waitingForSheet; }

private:
    struct QueuedAlert {
        AlertSheet sheet;
        AlertDismissal onDismiss;
    };

    std::shared_ptr<SheetWindow> _window;
    std::deque<QueuedAlert> _pending;
    bool _waitingForSheet = false;
    int _observerToken = 0;
    // Dismissals may arrive after the queue is gone; they reach it only through this handle.
    std::shared_ptr<AlertQueue*> _self;
};

} // namespace tardigo
