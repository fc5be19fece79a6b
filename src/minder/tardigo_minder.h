#pragma once

#include "minder/notice_delivery.h"
#include "minder/recurrence_calculator.h"
#include "minder/todo_locator.h"
#include "model/value.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QStringList>

#include <optional>
#include <unordered_set>
#include <vector>

namespace tardigo {

class ErrorReporter;
class MinderHost;
class MinderDocument;
struct ListLoad;

/// One run of the minder over the watched lists: rolls completed repeating items on to their next
/// due date and delivers a notice for every past-due item and every reminder that has come.
/// The lists the minder watches: those of the "tardigoMinderDocs" preference, then each of the
/// located ones (none: the locator could not tell) not among them.
QStringList watchedLists(const std::optional<QStringList>& located);

class TardigoMinder {
public:
    /// Takes "now" and the "minderEmail" preference at creation.
    TardigoMinder(MinderHost& host, NoticeChannels channels, ErrorReporter& reporter,
                  TodoLocator locator = TodoLocator());

    /// The whole pass: the watched lists and the located ones, each scanned once. Always 0.
    int scan();
    /// Fills the paths to scan: all of "tardigoMinderDocs", then each located path not yet listed.
    void collectDocs();
    /// The same with what the locator already answered (none: it could not tell).
    void collectDocs(const std::optional<QStringList>& located);
    /// Scans the paths collected or set, in order. Always 0.
    int scanDocs();
    /// Goes on scanning the paths collected or set until the pass is done or the deadline has passed;
    /// True once it is done. Taken up slice by slice, the pass gives what scanDocs gives.
    bool scanDocsUntil(const QDeadlineTimer& deadline);
    /// A document closed while the pass was taken up slice by slice: the rest of its tree is left.
    void documentClosed(const MinderDocument* doc);
    /// Checks the node and then every node below it, depth first; true when none got a notice.
    bool scanNode(const NodePtr& node, MinderDocument& doc);

    /// True when the file read is a current list: a mutable dictionary root marked "Tardigo Todo List".
    static bool isTardigoDoc(const ListLoad& load);

    /// The earliest moment after this pass's "now" at which an item of the lists scanned so far has a
    /// notice to give (a due date, a reminder, a snooze); none when none has.
    std::optional<QDateTime> nextNoticeMoment() const;

    const QStringList& docs() const { return _docs; }
    void setDocs(const QStringList& paths);
    NoticeDelivery& delivery() { return _delivery; }

private:
    /// The walk through one list's tree, which a slice may leave half done.
    struct Walk {
        QString path;
        MinderDocument* doc = nullptr;
        bool openedHere = false;
        bool quiet = true;
        std::vector<NodePtr> pending;
        std::unordered_set<const Dict*> visited;
    };

    /// The walk of the list at path, opened without a window when it is not open; none when the
    /// path names no list.
    std::optional<Walk> beginWalk(const QString& path);
    /// Checks nodes until the walk is done (true) or the deadline has passed.
    bool continueWalk(Walk& walk, const QDeadlineTimer& deadline);
    /// Closes again a list the walk opened and found nothing in.
    void endWalk(const Walk& walk);
    void reportScanFailure(const QString& path);

    /// The node's own checks, in order: past due, repeat, reminder. True when none gave a notice.
    bool checkNode(const NodePtr& node, MinderDocument& doc);

    QStringList _docs;
    qsizetype _nextDoc = 0;
    std::optional<Walk> _walk;
    bool _passEnded = false;
    qint64 _now; // milliseconds since 1970, as the moments
    std::optional<qint64> _nextMoment;
    bool _mailItemAlert;
    MinderHost& _host;
    ErrorReporter& _reporter;
    TodoLocator _locator;
    RecurrenceCalculator _recurrence;
    NoticeDelivery _delivery;
};

} // namespace tardigo
