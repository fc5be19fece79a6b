#pragma once

#include "minder/notice_delivery.h"
#include "minder/recurrence_calculator.h"
#include "minder/todo_locator.h"
#include "model/value.h"

#include <QDateTime>
#include <QStringList>

namespace tardigo {

class ErrorReporter;
class MinderHost;
class MinderDocument;
struct ListLoad;

/// One run of the minder over the watched lists: rolls completed repeating items on to their next
/// due date and delivers a notice for every past-due item and every reminder that has come.
class TardigoMinder {
public:
    /// Takes "now" and the "minderEmail" preference at creation.
    TardigoMinder(MinderHost& host, NoticeChannels channels, ErrorReporter& reporter,
                  TodoLocator locator = TodoLocator());

    /// The whole pass: the watched lists and the located ones, each scanned once. Always 0.
    int scan();
    /// Fills the paths to scan: all of "tardigoMinderDocs", then each located path not yet listed.
    void collectDocs();
    /// Scans the paths collected or set, in order. Always 0.
    int scanDocs();
    /// Checks the node and then every node below it, depth first; YES when none got a notice.
    bool scanNode(const NodePtr& node, MinderDocument& doc);

    /// YES when the file read is a current list: a mutable dictionary root marked "Tardigo Todo List".
    static bool isTardigoDoc(const ListLoad& load);

    const QStringList& docs() const { return _docs; }
    void setDocs(const QStringList& paths) { _docs = paths; }
    NoticeDelivery& delivery() { return _delivery; }

private:
    /// The node's own checks, in order: past due, repeat, reminder. YES when none gave a notice.
    bool checkNode(const NodePtr& node, MinderDocument& doc);
    bool checkReminder(const NodePtr& node, MinderDocument& doc);
    /// Seconds from the date held under key to _now; 0 when absent, not a date or in the future.
    double secondsSince(const Dict& node, const QString& key) const;
    void scanPath(const QString& path);

    QStringList _docs;
    QDateTime _now;
    bool _mailItemAlert;
    MinderHost& _host;
    ErrorReporter& _reporter;
    TodoLocator _locator;
    RecurrenceCalculator _recurrence;
    NoticeDelivery _delivery;
};

} // namespace tardigo
