#include "list_update.h"

#include "cli_output.h"
#include "platform/untrusted_text.h"

#include "archive/list_file.h"

namespace tardigo::cli {

namespace {

using std::chrono::milliseconds;

// A wait shorter than this goes unsaid: writers that meet often wait a few milliseconds.
constexpr milliseconds kFirstAnnouncement{500};
constexpr milliseconds kAnnouncementInterval{60'000};

/// The state of one wait's announcements; each lock taken starts from a fresh copy.
struct WaitAnnouncer {
    milliseconds next = kFirstAnnouncement;
    std::optional<qint64> announcedHolder; // the process named last; 0 for one that did not say

    bool operator()(const ListLock::Wait& wait) {
        const qint64 holder = wait.holder ? wait.holder->pid : 0;
        const bool otherHolder = announcedHolder && *announcedHolder != holder;
        if (wait.waited < next && !otherHolder)
            return true;
        out().flush();
        if (!announcedHolder || otherHolder)
            err() << "tardigo-cli: " << terminalSafe(wait.sentence()) << "; waiting for it to finish."
                  << Qt::endl;
        else
            err() << "tardigo-cli: still waiting after " << wait.waited.count() / 60'000
                  << " min: " << terminalSafe(wait.sentence()) << ". Ctrl+C stops waiting." << Qt::endl;
        announcedHolder = holder;
        next = wait.waited + kAnnouncementInterval;
        return true;
    }
};

} // namespace

void announceLockWaits() {
    ListLock::setWaitReport(WaitAnnouncer());
}

std::optional<ListLock> lockList(const QString& path) {
    ListLock lock(path);
    if (!lock.isLocked()) {
        fail(lock.error());
        return std::nullopt;
    }
    return lock;
}

int updateList(const QString& path, const std::function<QString(const NodePtr& root)>& change) {
    const std::optional<ListLock> lock = lockList(path);
    if (!lock)
        return Failure;
    const ListLoad load = readListFile(path);
    if (!load.ok())
        return fail(load.error);
    if (const QString refusal = change(load.root); !refusal.isEmpty())
        return fail(refusal);
    const QString error = writeListFile(path, load.root);
    return error.isEmpty() ? Success : fail(error);
}

int writeNewList(const QString& path, const NodePtr& root, const QStringList& inputs, const CliArgs& parsed) {
    const std::optional<ListLock> lock = lockList(path);
    if (!lock)
        return Failure;
    if (refusesOutput(path, OutputKind::List, inputs, parsed))
        return Failure;
    const QString error = writeListFile(path, root);
    return error.isEmpty() ? Success : fail(error);
}

} // namespace tardigo::cli
