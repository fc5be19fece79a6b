#pragma once

#include <QStringList>

namespace tardigo {

/// The lists the user opened or saved lately, newest first, remembered in the preferences.
class RecentDocuments {
public:
    static constexpr int kMaximumCount = 10;

    static QStringList paths();
    /// Puts the path first; an entry for the same file moves rather than repeats.
    static void add(const QString& path);
    static void clear();
};

} // namespace tardigo
