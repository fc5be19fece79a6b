#include "desktop_app/recent_documents.h"

#include "model/keys.h"
#include "platform/user_defaults.h"

#include <QFileInfo>

namespace tardigo {

QStringList RecentDocuments::paths() {
    return UserDefaults::standard().stringArrayForKey(pref::recentDocuments);
}

void RecentDocuments::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList recent = paths();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kMaximumCount)
        recent.removeLast();
    UserDefaults::standard().setStringArray(pref::recentDocuments, recent);
}

void RecentDocuments::clear() {
    UserDefaults::standard().removeObject(pref::recentDocuments);
}

} // namespace tardigo
