#include "platform/list_lock.h"

#include "model/core_log.h"
#include "platform/lock_file.h"

#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <memory>
#include <mutex>
#include <thread>

namespace tardigo {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

/// The lock files each thread of this process holds, and how many holders share each. Nesting
/// stops at the thread: a sync on a worker thread and a save on the interface thread each open the
/// lock file, and flock keeps them apart as it keeps processes.
struct HeldLock {
    std::shared_ptr<LockFile> file;
    int holders = 0;
    Clock::time_point since;
};

std::mutex gHeldMutex;
QHash<QString, HeldLock> gHeld; // by heldKey()
ListLock::WaitReport gWaitReport;

constexpr milliseconds kReportInterval{250};
constexpr milliseconds kLongestPause{50};

QString heldKey(const QString& lockPath, Qt::HANDLE thread) {
    return lockPath + u'\n' + QString::number(quintptr(thread));
}

QString lockFailure(const QString& name, const QString& reason) {
    return QStringLiteral("Could not lock “%1” against other programs writing it: %2.").arg(name, reason);
}

bool logWait(const ListLock::Wait& wait) {
    if (wait.waited == milliseconds(0))
        qCInfo(lcPlatform).noquote() << wait.sentence() + QStringLiteral("; waiting for it to finish");
    return true;
}

} // namespace

QString ListLock::Wait::sentence() const {
    return holder ? QStringLiteral("“%1” is being changed by %2").arg(listName, holder->description())
                  : QStringLiteral("“%1” is being changed by another program, which does not say which")
                        .arg(listName);
}

QString ListLock::lockFilePath(const QString& listPath) {
    // The list a link names is the one a save replaces, so its lock lies beside that one.
    const QFileInfo list(listPath);
    const QFileInfo target(list.canonicalFilePath().isEmpty() ? list.absoluteFilePath()
                                                              : list.canonicalFilePath());
    return target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".lock");
}

void ListLock::setWaitReport(WaitReport report) {
    const std::lock_guard guard(gHeldMutex);
    gWaitReport = std::move(report);
}

ListLock::ListLock(const QString& listPath) {
    WaitReport report = logWait;
    {
        const std::lock_guard guard(gHeldMutex);
        if (gWaitReport)
            report = gWaitReport;
    }
    take(listPath, report);
}

ListLock::ListLock(const QString& listPath, const WaitReport& report) {
    take(listPath, report);
}

ListLock ListLock::ifFree(const QString& listPath) {
    ListLock lock;
    lock.take(listPath, [](const Wait&) { return false; });
    return lock;
}

void ListLock::take(const QString& listPath, const WaitReport& report) {
    _lockPath = lockFilePath(listPath);
    const QString name = QFileInfo(listPath).fileName();
    const QString key = heldKey(_lockPath, QThread::currentThreadId());
    {
        const std::lock_guard guard(gHeldMutex);
        if (const auto held = gHeld.find(key); held != gHeld.end()) {
            ++held->holders;
            _heldKey = key;
            return;
        }
    }
    auto file = std::make_shared<LockFile>(_lockPath);
    if (!file->isOpen()) {
        _error = lockFailure(name, file->error());
        return;
    }
    std::optional<Clock::time_point> waitBegan;
    Clock::time_point nextReport;
    milliseconds pause{1};
    for (LockFile::Attempt attempt; (attempt = file->tryLock()) != LockFile::Attempt::Taken;) {
        if (attempt == LockFile::Attempt::Failed) {
            _error = lockFailure(name, file->error());
            return;
        }
        const Clock::time_point now = Clock::now();
        if (!waitBegan) {
            waitBegan = now;
            nextReport = now;
        }
        if (now >= nextReport) {
            const Wait wait{name, file->runningHolder(),
                            std::chrono::duration_cast<milliseconds>(now - *waitBegan)};
            if (!report(wait)) {
                _heldElsewhere = true;
                _error = wait.sentence() + QStringLiteral(". Try again when it has finished.");
                return;
            }
            nextReport = now + kReportInterval;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, kLongestPause);
    }
    const std::lock_guard guard(gHeldMutex);
    gHeld.insert(key, {std::move(file), 1, Clock::now()});
    _heldKey = key;
}

ListLock::ListLock(ListLock&& other) noexcept
    : _lockPath(std::move(other._lockPath)), _heldKey(std::exchange(other._heldKey, QString())),
      _error(std::move(other._error)), _heldElsewhere(other._heldElsewhere) {}

void ListLock::passTo(Qt::HANDLE thread) {
    const std::lock_guard guard(gHeldMutex);
    const auto held = gHeld.find(_heldKey);
    if (held == gHeld.end() || held->holders != 1) {
        qCWarning(lcPlatform) << "a nested list lock cannot pass to another thread";
        return;
    }
    const HeldLock lock = gHeld.take(_heldKey);
    _heldKey = heldKey(_lockPath, thread);
    gHeld.insert(_heldKey, lock);
}

ListLock::~ListLock() {
    if (_heldKey.isEmpty())
        return;
    const std::lock_guard guard(gHeldMutex);
    const auto held = gHeld.find(_heldKey);
    if (held == gHeld.end() || --held->holders > 0)
        return;
    qCDebug(lcPlatform).noquote()
        << "held the lock" << _lockPath << "for"
        << std::chrono::duration_cast<milliseconds>(Clock::now() - held->since).count() << "ms";
    gHeld.remove(_heldKey); // the lock file closes, and lets go
}

} // namespace tardigo
