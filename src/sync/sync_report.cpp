#include "sync/sync_report.h"

namespace tardigo {

namespace {

void addCount(QStringList& parts, int count, const char* what) {
    if (count > 0)
        parts.append(QStringLiteral("%1 %2").arg(count).arg(QLatin1String(what)));
}

} // namespace

QString SyncReport::summary() const {
    if (!error.isEmpty())
        return error;
    QStringList list, files;
    addCount(list, itemsAdded, itemsAdded == 1 ? "item added" : "items added");
    addCount(list, itemsUpdated, itemsUpdated == 1 ? "item updated" : "items updated");
    addCount(list, itemsRemoved, itemsRemoved == 1 ? "item removed" : "items removed");
    addCount(files, filesWritten, filesWritten == 1 ? "file written" : "files written");
    addCount(files, filesRemoved, filesRemoved == 1 ? "file removed" : "files removed");
    QStringList parts;
    if (!list.isEmpty())
        parts.append(list.join(QStringLiteral(", ")));
    if (!files.isEmpty())
        parts.append(files.join(QStringLiteral(", ")));
    if (!conflicts.isEmpty())
        parts.append(QStringLiteral("%1 changed on both sides, kept twice").arg(conflicts.size()));
    QStringList failed;
    addCount(failed, int(writeFailures.size()), writeFailures.size() == 1 ? "write failed" : "writes failed");
    parts += failed;
    return parts.isEmpty() ? QStringLiteral("nothing changed") : parts.join(QStringLiteral("; "));
}

} // namespace tardigo
