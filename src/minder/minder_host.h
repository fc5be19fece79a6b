#pragma once

#include "model/value.h"

#include <QString>

namespace tardigo {

class TardigoDocument;
class TWAlertArray;

/// What the minder needs from whoever keeps the open documents: the application, or a headless host
/// for the command-line tool and the tests.
class MinderHost {
public:
    virtual ~MinderHost() = default;

    /// The open document of that file, or null.
    virtual TardigoDocument* documentForFileName(const QString& path) = 0;
    /// Opens the list file as a document without showing it, through the normal load path; null when
    /// it does not open.
    virtual TardigoDocument* openDocumentWithoutDisplay(const QString& path) = 0;
    /// Closes a document that the scan opened and found nothing in.
    virtual void removeDocument(TardigoDocument* document) = 0;

    /// Brings the document's windows on screen; a list opened without one becomes visible.
    virtual void showWindows(TardigoDocument& document) = 0;
    /// Lets the document record a notice about one of its nodes (its minder timestamps).
    virtual void minderWithNode(TardigoDocument& document, const NodePtr& node, const QString& message,
                                int itemStatus) = 0;
    /// The alert queue of the document's window, or null where there is no window.
    virtual TWAlertArray* alertArray(TardigoDocument& document) = 0;
};

} // namespace tardigo
