// Runs a long writer of a list, `tardigo-cli remind --apply` over a generated list (or the first
// `tardigo-cli sync` of one with an empty folder), and meanwhile 40 `tardigo-cli add` runs on the same
// list, each a process of its own, as a user's scripts and timers would. Prints how long the long
// writer took, the longest each kind of writer held the list's lock (each tool logs every hold), and
// how many of the adds succeeded and kept their item.
//
// Usage: bench_lock_waits [remind|sync] [COUNT]   (remind: 100,000 items; sync: 30,000)
#include "support/list_generator.h"

#include "archive/list_file.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

using namespace tardigo;

namespace {

constexpr int kAdds = 40;
constexpr int kAddIntervalMsecs = 25;

/// Starts the tool with every lock hold logged on its standard error.
std::unique_ptr<QProcess> startCli(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tardigo.platform.debug=true"));
    process->setProcessEnvironment(environment);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(QStringLiteral(TARDIGO_CLI_PATH), arguments);
    return process;
}

/// The longest hold of a list's lock that the tool logged, in ms.
qint64 longestHold(QProcess& process) {
    static const QRegularExpression hold(QStringLiteral("held the lock .* for (\\d+) ms"));
    qint64 longest = 0;
    for (const QString& line : QString::fromUtf8(process.readAllStandardError()).split(u'\n'))
        if (const QRegularExpressionMatch match = hold.match(line); match.hasMatch())
            longest = std::max(longest, match.captured(1).toLongLong());
    return longest;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("tardigo.*.debug=false")); // only the tools' holds
    const bool sync = argc > 1 && QByteArray(argv[1]) == "sync";
    const int count = argc > 2 ? atoi(argv[2]) : sync ? 30000 : 100000;
    QTemporaryDir dir;
    const QString list = dir.filePath(QStringLiteral("list.todo"));
    if (!writeListFile(list, bench::generateList(count)).isEmpty())
        return 1;
    QDir(dir.path()).mkdir(QStringLiteral("folder"));

    QElapsedTimer timer;
    timer.start();
    const std::unique_ptr<QProcess> writer =
        startCli(sync ? QStringList{QStringLiteral("sync"), list, dir.filePath(QStringLiteral("folder"))}
                      : QStringList{QStringLiteral("remind"), QStringLiteral("--apply"), list});
    std::vector<std::unique_ptr<QProcess>> adds;
    for (int i = 0; i < kAdds; ++i) {
        QThread::msleep(kAddIntervalMsecs);
        adds.push_back(startCli({QStringLiteral("add"), list, QStringLiteral("added %1").arg(i)}));
    }
    writer->waitForFinished(-1);
    const double writerSeconds = double(timer.elapsed()) / 1000.0;
    int succeeded = 0;
    qint64 addHold = 0;
    for (const std::unique_ptr<QProcess>& add : adds) {
        add->waitForFinished(-1);
        succeeded += add->exitStatus() == QProcess::NormalExit && add->exitCode() == 0 ? 1 : 0;
        addHold = std::max(addHold, longestHold(*add));
    }
    QSet<QString> kept;
    if (const ListLoad load = readListFile(list); load.ok())
        for (const Value& item : childrenOf(*load.root)->items)
            if (const QString* name = item.asDict()->value(key::name).asString();
                name && name->startsWith("added "))
                kept.insert(*name);

    printf("%s of %d items: %.2f s (exit status %d), longest lock hold %lld ms\n",
           sync ? "first sync" : "remind --apply", count, writerSeconds, writer->exitCode(),
           longestHold(*writer));
    printf("%d concurrent adds: %d succeeded, %lld items kept, longest lock hold %lld ms\n", kAdds, succeeded,
           qint64(kept.size()), addHold);
    // The long writer may exit 1 for what it found in the list (a repeat without a next date);
    // the adds must all have succeeded.
    return succeeded == kAdds && kept.size() == kAdds ? 0 : 1;
}
