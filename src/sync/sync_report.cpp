#include "sync/sync_report.h"

namespace tardigo {

namespace {

void addCount(QStringList& parts, int count, const char* what) {
    if (count > 0)
        parts.append(QStringLiteral("%1 %2").arg(count).arg(QLatin1String(what)));
}

} // namespace

QString SyncReport::summary() const {
    if (!ok())
        return error;
    QStringList list, folder;
    addCount(list, itemsAdded, itemsAdded == 1 ? "item added" : "items added");
    addCount(list, itemsUpdated, itemsUpdated == 1 ? "item updated" : "items updated");
    addCount(list, itemsRemoved, itemsRemoved == 1 ? "item removed" : "items removed");
    addCount(folder, filesWritten, filesWritten == 1 ? "file written" : "files written");
    addCount(folder, filesRemoved, filesRemoved == 1 ? "file removed" : "files removed");
    QStringList parts;
    if (!list.isEmpty())
        parts.append(list.join(QStringLiteral(", ")));
    if (!folder.isEmpty())
        parts.append(folder.join(QStringLiteral(", ")));
    if (!conflicts.isEmpty())
        parts.append(QStringLiteral("%1 changed on both sides, kept twice").arg(conflicts.size()));
    return parts.isEmpty() ? QStringLiteral("nothing changed") : parts.join(QStringLiteral("; "));
}

} // namespace tardigo
