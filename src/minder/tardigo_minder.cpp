#include "minder/tardigo_minder.h"

#include "archive/list_file.h"
#include "dates/user_date_time_format.h"
#include "minder/error_reporter.h"
#include "minder/item_status.h"
#include "minder/minder_document.h"
#include "minder/minder_host.h"
#include "minder/notice_moment.h"
#include "minder/recurrence_calendar.h"
#include "model/clock.h"
#include "model/item_codes.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>
#include <exception>

namespace tardigo {

namespace {
constexpr qsizetype kInitialDocsCapacity = 30;
// Far beyond any real list; a path to something larger is not one.
constexpr qint64 kMaxListBytes = qint64(512) * 1024 * 1024;
// The panels' text is filled in, never used as a format.
const QString kFailureText = QStringLiteral("%1\noccured while scanning the document at %2");

qint64 periodOf(const Dict& node) {
    const Number* period = node.value(key::dateDueRepeatPeriod).asNumber();
    return period ? period->toInt64() : 0;
}

QString describe(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("an unknown exception");
    }
}
} // namespace

TardigoMinder::TardigoMinder(MinderHost& host, NoticeChannels channels, ErrorReporter& reporter,
                             TodoLocator locator)
    : _now(Clock::nowMSecsSinceEpoch()), _mailItemAlert(Settings::instance().minderEmail()), _host(host),
      _reporter(reporter), _locator(std::move(locator)), _recurrence(reporter),
      _delivery(host, channels, reporter, _mailItemAlert) {
    _docs.reserve(kInitialDocsCapacity);
}

int TardigoMinder::scan() {
    collectDocs();
    return scanDocs();
}

void TardigoMinder::collectDocs() {
    collectDocs(_locator.locateTodoItems());
}

QStringList watchedLists(const std::optional<QStringList>& located) {
    QStringList lists = Settings::instance().minderLists();
    for (const QString& path : located.value_or(QStringList()))
        if (!lists.contains(path))
            lists.append(path);
    return lists;
}

void TardigoMinder::collectDocs(const std::optional<QStringList>& located) {
    setDocs(_docs + watchedLists(located));
}

void TardigoMinder::setDocs(const QStringList& paths) {
    _docs = paths;
    _nextDoc = 0;
    _walk.reset();
    _passEnded = false;
}

int TardigoMinder::scanDocs() {
    scanDocsUntil(QDeadlineTimer(QDeadlineTimer::Forever));
    return 0;
}

bool TardigoMinder::scanDocsUntil(const QDeadlineTimer& deadline) {
    // Each call gets on by at least one list, however little time it was given.
    bool begun = false;
    while (!_passEnded) {
        if (_walk) {
            if (!continueWalk(*_walk, deadline))
                return false;
            const Walk done = std::move(*_walk);
            _walk.reset();
            try {
                endWalk(done);
            } catch (...) {
                reportScanFailure(done.path);
                continue;
            }
        }
        if (_nextDoc == _docs.size()) {
            _passEnded = true;
            break;
        }
        if (begun && deadline.hasExpired())
            return false;
        const QString path = _docs.at(_nextDoc++);
        begun = true;
        try {
            _walk = beginWalk(path);
        } catch (...) {
            reportScanFailure(path);
        }
    }
    return true;
}

void TardigoMinder::reportScanFailure(const QString& path) {
    // Whatever broke here may break again on every path: the rest waits for the next run.
    _reporter.reportError(
        QCoreApplication::translate("TardigoMinder", "Tardigo Minder Error while scanning a list"),
        kFailureText.arg(describe(std::current_exception()), path));
    _walk.reset();
    _passEnded = true;
}

void TardigoMinder::documentClosed(const MinderDocument* doc) {
    if (_walk && _walk->doc == doc)
        _walk.reset();
}

std::optional<TardigoMinder::Walk> TardigoMinder::beginWalk(const QString& path) {
    MinderDocument* doc = _host.documentForFileName(path);
    bool openedHere = false;
    // Only regular files are read: a pipe or a device in the watch list would never end.
    const QFileInfo file(path);
    if (!doc && file.isFile() && file.size() <= kMaxListBytes) {
        // Read once: the check and the document share the decoded list.
        const ListLoad load = readListFile(path);
        if (isTardigoDoc(load)) {
            doc = _host.openDocumentWithoutDisplay(path, load);
            openedHere = doc != nullptr;
        }
    }
    if (!doc)
        return std::nullopt;
    Walk walk;
    walk.path = path;
    walk.doc = doc;
    walk.openedHere = openedHere;
    walk.pending.push_back(doc->data());
    return walk;
}

void TardigoMinder::endWalk(const Walk& walk) {
    if (walk.quiet && walk.openedHere)
        _host.removeDocument(walk.doc);
}

bool TardigoMinder::isTardigoDoc(const ListLoad& load) {
    // Reading the list already required the "Tardigo Todo List" marker.
    return load.ok() && load.root->isMutable;
}

bool TardigoMinder::scanNode(const NodePtr& node, MinderDocument& doc) {
    Walk walk;
    walk.doc = &doc;
    walk.pending.push_back(node);
    continueWalk(walk, QDeadlineTimer(QDeadlineTimer::Forever));
    return walk.quiet;
}

bool TardigoMinder::continueWalk(Walk& walk, const QDeadlineTimer& deadline) {
    // Depth first without recursion, however deep the list; a node reached twice is checked once.
    constexpr int kNodesBetweenClockReads = 64;
    int sinceClockRead = 0;
    while (!walk.pending.empty()) {
        if (++sinceClockRead == kNodesBetweenClockReads) {
            sinceClockRead = 0;
            if (deadline.hasExpired())
                return false;
        }
        const NodePtr current = std::move(walk.pending.back());
        walk.pending.pop_back();
        if (!current || !walk.visited.insert(current.get()).second)
            continue;
        try {
            walk.quiet = checkNode(current, *walk.doc) && walk.quiet;
        } catch (...) {
            // This node and everything below it stay unscanned; its siblings go on.
            _reporter.reportError(
                QCoreApplication::translate("TardigoMinder", "Tardigo Minder Error while checking an item"),
                kFailureText.arg(describe(std::current_exception()), walk.doc->fileName()));
            walk.quiet = false;
            continue;
        }
        if (const ArrayPtr children = childrenOf(*current))
            for (auto child = children->items.rbegin(); child != children->items.rend(); ++child)
                walk.pending.push_back(child->asDict());
    }
    return true;
}

bool TardigoMinder::checkNode(const NodePtr& node, MinderDocument& doc) {
    bool quiet = true;
    const std::optional<qint64> due = dueNoticeMoment(*node);
    if (due && *due <= _now) {
        _delivery.notificationForDoc(doc,
                                     QCoreApplication::translate("TardigoMinder", "Past date due: %1")
                                         .arg(formatUserDateTime(*parseStoredDate(node->value(key::due)))),
                                     ItemStatusDue, node);
        quiet = false;
    }
    if (isCompleted(*node) && periodOf(*node) != 0) {
        if (const std::optional<QDateTime> next = _recurrence.nextDueDateForNode(*node)) {
            const QString message =
                QCoreApplication::translate("TardigoMinder", "This repeating item is due again on %1.")
                    .arg(formatUserDateTime(*next));
            node->set(key::due, storedDateString(*next));
            node->set(key::completion, Value::float32(0.0));
            // The node is the open document's own: its window shows the new date at once.
            doc.refreshItem(node, key::due, true);
            _delivery.notificationForDoc(doc, message, ItemStatusDue, node);
            quiet = false;
        }
    }
    const std::optional<qint64> reminder = reminderMoment(*node, _now);
    if (reminder && *reminder <= _now) {
        _delivery.notificationForDoc(doc, QCoreApplication::translate("TardigoMinder", "Reminder!"),
                                     ItemStatusReminder, node);
        quiet = false;
    }
    // What is left to come, the earliest first; a notice given changed the item.
    const std::optional<qint64> next = quiet ? earlierMoment(due, reminder) : noticeMoment(*node, _now);
    if (next && *next > _now)
        _nextMoment = std::min(_nextMoment.value_or(*next), *next);
    return quiet;
}

std::optional<QDateTime> TardigoMinder::nextNoticeMoment() const {
    return _nextMoment ? std::optional(QDateTime::fromMSecsSinceEpoch(*_nextMoment)) : std::nullopt;
}

} // namespace tardigo
