#include "widgets/list_lock_wait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>
#include <mutex>

namespace tardigo {

namespace {

// A wait shorter than this shows no dialog; user input waits meanwhile.
constexpr int kQuietWaitMsecs = 400;
constexpr int kRefreshMsecs = 250;

/// The wait on the worker thread and what the interface thread learns of it.
struct SharedWait {
    std::mutex mutex;
    std::optional<ListLock::Wait> latest;
    std::optional<ListLock> lock;
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
};

/// The dialog and its texts.
class ListLockWait {
    Q_DECLARE_TR_FUNCTIONS(ListLockWait)

public:
    static QString holderText(const std::optional<LockHolder>& holder);
    static QString waitText(const ListLock::Wait& wait, LockWaitPurpose purpose);
    static std::unique_ptr<QProgressDialog> dialog(QWidget* parent);
};

QString ListLockWait::holderText(const std::optional<LockHolder>& holder) {
    if (!holder)
        return tr("another program, which does not say which");
    const QString process = holder->program.isEmpty()
                                ? tr("process %1").arg(holder->pid)
                                : tr("process %1 (%2)").arg(holder->pid).arg(holder->program);
    return holder->isOnThisMachine() ? process : tr("%1 on the computer “%2”").arg(process, holder->host);
}

QString ListLockWait::waitText(const ListLock::Wait& wait, LockWaitPurpose purpose) {
    const QString then = purpose == LockWaitPurpose::Save
                             ? tr("Tardigo saves it as soon as that program has finished.")
                             : tr("Tardigo reads it again as soon as that program has finished.");
    return tr("“%1” is being changed by %2.").arg(wait.listName, holderText(wait.holder)) +
           QStringLiteral("\n\n") + then;
}

std::unique_ptr<QProgressDialog> ListLockWait::dialog(QWidget* parent) {
    // Its only button stops the wait.
    auto dialog = std::make_unique<QProgressDialog>(parent);
    dialog->setObjectName(QStringLiteral("lockWaitDialog"));
    dialog->setWindowTitle(tr("Waiting for Another Program"));
    dialog->setAccessibleName(dialog->windowTitle());
    auto* label = new QLabel(dialog.get());
    label->setWordWrap(true);
    label->setObjectName(QStringLiteral("lockWaitText"));
    dialog->setLabel(label);
    dialog->setCancelButtonText(tr("Stop Waiting"));
    dialog->setRange(0, 0); // no end in sight: it lasts as long as the other program takes
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumWidth(420);
    return dialog;
}

} // namespace

std::optional<ListLock> lockListForWindow(QWidget* parent, const QString& listPath, LockWaitPurpose purpose,
                                          QString* error) {
    error->clear();
    ListLock now = ListLock::ifFree(listPath);
    if (now.isLocked())
        return now;
    if (!now.isHeldElsewhere()) {
        *error = now.error();
        return std::nullopt;
    }

    auto shared = std::make_shared<SharedWait>();
    std::unique_ptr<QThread> worker(QThread::create([shared, listPath, waiter = QThread::currentThreadId()] {
        ListLock lock(listPath, [&shared](const ListLock::Wait& wait) {
            const std::lock_guard guard(shared->mutex);
            shared->latest = wait;
            return !shared->stop;
        });
        if (lock.isLocked())
            lock.passTo(waiter);
        const std::lock_guard guard(shared->mutex);
        shared->lock.emplace(std::move(lock));
        shared->done = true;
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();

    // A short wait passes unseen; the user's input waits meanwhile, so nothing changes under it.
    QTimer::singleShot(kQuietWaitMsecs, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!shared->done) {
        const std::unique_ptr<QProgressDialog> dialog = ListLockWait::dialog(parent);
        const auto refresh = [&] {
            if (shared->done)
                loop.quit(); // in case the end came before the loop began
            const std::lock_guard guard(shared->mutex);
            if (shared->latest)
                dialog->setLabelText(ListLockWait::waitText(*shared->latest, purpose));
        };
        refresh();
        QTimer refreshing;
        QObject::connect(&refreshing, &QTimer::timeout, dialog.get(), refresh);
        refreshing.start(kRefreshMsecs);
        QObject::connect(dialog.get(), &QProgressDialog::canceled, dialog.get(),
                         [&] { shared->stop = true; });
        dialog->show();
        if (!shared->done)
            loop.exec();
    }
    // The loop also ends when the application quits: the wait then stops.
    if (!shared->done)
        shared->stop = true;
    worker->wait();

    const std::lock_guard guard(shared->mutex);
    if (shared->stop || !shared->lock)
        return std::nullopt; // a lock had just as the user stopped is let go here
    if (!shared->lock->isLocked()) {
        *error = shared->lock->error();
        return std::nullopt;
    }
    return std::move(shared->lock);
}

} // namespace tardigo
