// Measures one minder pass over 200 lists of 500 items: with nothing due (the common case every
// quarter of an hour), and with every item due, the notices counted by a recording channel.

#include "archive/list_file.h"
#include "document/windowless_minder_host.h"
#include "minder/notice_channels.h"
#include "minder/recording_error_reporter.h"
#include "minder/tardigo_minder.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>

using namespace tardigo;

namespace {

constexpr int kLists = 200;
constexpr int kTopItems = 100;
constexpr int kChildrenEach = 4; // 100 items with 4 children each: 500 items a list
const QDateTime kNow = QDateTime(QDate(2003, 5, 20), QTime(14, 0), Qt::OffsetFromUTC, 7200);

class CountingNotifications : public DesktopNotificationChannel {
public:
    qint64 count = 0;
    void notify(const QString&, const QString&) override { ++count; }
};

NodePtr generatedItem(int list, int index, bool due) {
    NodePtr node = Dict::create();
    node->set(key::name, QStringLiteral("item %1 of list %2").arg(index).arg(list));
    node->set(key::dateCreated, "2003-01-01 08:00:00 +0100");
    node->set(key::completion, Value::float32(index % 5 == 0 ? 0.5 : 0.0));
    node->set(key::category, index % 3 ? "Home" : "Work");
    ArrayPtr history = Array::create();
    for (const char* message : {"item created", "set category"}) {
        DictPtr entry = Dict::create(false);
        entry->set(key::timestamp, "2003-01-01 08:00:00 +0100");
        entry->set(key::message, message);
        history->items.emplace_back(entry);
    }
    node->set(key::history, history);
    node->set(key::children, Array::create());
    if (due)
        node->set(key::due, "2003-05-01 09:00:00 +0200");
    else if (index % 3 == 0)
        node->set(key::due, "2003-06-01 09:00:00 +0200");
    return node;
}

QStringList writeLists(const QDir& folder, bool due) {
    QStringList paths;
    for (int list = 0; list < kLists; ++list) {
        NodePtr root = newListRoot();
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        const ArrayPtr top = root->value(key::children).asArray();
        int index = 0;
        for (int i = 0; i < kTopItems; ++i) {
            NodePtr parent = generatedItem(list, index++, due);
            for (int c = 0; c < kChildrenEach; ++c)
                parent->value(key::children).asArray()->items.emplace_back(generatedItem(list, index++, due));
            top->items.emplace_back(parent);
        }
        const QString path = folder.filePath(QStringLiteral("list%1.todo").arg(list));
        const QString error = writeListFile(path, root);
        if (!error.isEmpty())
            qFatal("%s", qPrintable(error));
        paths << path;
    }
    return paths;
}

// One pass as the timer runs it, over lists none of which is open yet.
void measure(const char* label, const QStringList& paths, double targetMsecs, qint64 expectedNotices) {
    Settings::instance().setMinderLists(paths);
    WindowlessMinderHost host;
    CountingNotifications notifications;
    NoticeChannels channels;
    channels.desktopNotification = &notifications;
    RecordingErrorReporter reporter;
    QElapsedTimer timer;
    timer.start();
    TardigoMinder(host, channels, reporter, TodoLocator(QStringLiteral("/bin/false"), {})).scan();
    const double msecs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%-40s %8.1f ms  (target %6.0f ms)  %7lld notices  %s\n", label, msecs, targetMsecs,
                static_cast<long long>(notifications.count),
                msecs <= targetMsecs && notifications.count == expectedNotices ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // A debug line per notice would measure the terminal, not the minder.
    QLoggingCategory::setFilterRules(QStringLiteral("tardigo.*.debug=false"));
    Settings::instance().useMemoryOnly();
    Clock::setFixed(kNow);
    QTemporaryDir quietDir, dueDir;
    const QStringList quiet = writeLists(QDir(quietDir.path()), false);
    const QStringList due = writeLists(QDir(dueDir.path()), true);
    const qint64 items = qint64(kLists) * kTopItems * (1 + kChildrenEach);
    std::printf("minder pass over %d lists, %lld items\n", kLists, static_cast<long long>(items));
    measure("nothing due", quiet, 300, 0);
    measure("every item due", due, 2000, items);
    return 0;
}
