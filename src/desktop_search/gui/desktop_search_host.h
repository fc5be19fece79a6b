#pragma once

#include "desktop_search/core/desktop_search.h"

#include <QString>

namespace tardigo {

class TardigoDocument;

/// What the desktop's search needs of the running application.
class DesktopSearchHost {
public:
    virtual ~DesktopSearchHost() = default;

    /// The lists to search: those open, then those the minder watches.
    virtual SearchedLists searchedLists() = 0;
    /// The list in its window, opened when it is closed; null when it did not open (the user was
    /// told why).
    virtual TardigoDocument* showList(const QString& path) = 0;
    /// Brings the application forward with a window, as starting it does.
    virtual void showApplication() = 0;
    /// Tells the user something by a desktop notification.
    virtual void tellUser(const QString& summary, const QString& body) = 0;
};

} // namespace tardigo
