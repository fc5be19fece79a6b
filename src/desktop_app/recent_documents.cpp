#include "desktop_app/recent_documents.h"

#include "model/keys.h"
#include "platform/settings.h"

#include <QFileInfo>

namespace tardigo {

QStringList RecentDocuments::paths() {
    return Settings::instance().recentDocuments();
}

void RecentDocuments::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList recent = paths();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kMaximumCount)
        recent.removeLast();
    Settings::instance().setRecentDocuments(recent);
}

void RecentDocuments::clear() {
    Settings::instance().remove(pref::recentDocuments);
}

} // namespace tardigo
