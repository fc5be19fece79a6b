#include "cli/list_paths.h"

#include "minder/tardigo_minder.h"
#include "minder/todo_locator.h"

#include <QFileInfo>
#include <QSet>

namespace tardigo::cli {

QStringList uniqueFiles(const QStringList& paths) {
    QStringList unique;
    QSet<QString> seen;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const QString file =
            info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
        if (!seen.contains(file)) {
            seen.insert(file);
            unique.append(path);
        }
    }
    return unique;
}

QStringList namedOrWatchedLists(const QStringList& named) {
    return uniqueFiles(named.isEmpty() ? watchedLists(TodoLocator().locateTodoItems()) : named);
}

} // namespace tardigo::cli
