#pragma once

#include "desktop_search/core/desktop_search.h"

#include <QString>
#include <QStringList>

namespace tardigo {

class TardigoDocument;

/// What the desktop's search needs of the running application.
class DesktopSearchHost {
public:
    virtual ~DesktopSearchHost() = default;

    /// The lists to search: those open, then those the minder watches.
    virtual SearchedLists searchedLists() = 0;
    /// The paths of the lists searchedLists() answers, as its results name them, without reading any.
    virtual QStringList searchedListPaths() = 0;
    /// The list in its window, opened when it is closed; null when it did not open, with why in `why`
    /// (empty when the user chose not to open it).
    virtual TardigoDocument* showList(const QString& path, QString* why) = 0;
    /// Brings the application forward with a window, as starting it does.
    virtual void showApplication() = 0;
    /// Tells the user something about a result by a desktop notification, in place of the one told
    /// before, so that a run of calls shows one notification.
    virtual void tellUser(const QString& summary, const QString& body) = 0;
};

} // namespace tardigo
