#pragma once

#include "model/value.h"

#include <QString>

namespace tardigo {

class TardigoDocument;
class TWAlertArray;
struct ListLoad;

/// What the minder needs from whoever keeps the open documents: the application, or a headless host
/// for the command-line tool and the tests.
class MinderHost {
public:
    virtual ~MinderHost() = default;

    /// The open document of that file, or null.
    virtual TardigoDocument* documentForFileName(const QString& path) = 0;
    /// Makes a document of the list already read from the file at path, without showing it; null
    /// when it cannot.
    virtual TardigoDocument* openDocumentWithoutDisplay(const QString& path, const ListLoad& load) = 0;
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
