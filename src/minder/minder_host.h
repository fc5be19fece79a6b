#pragma once

#include "minder/item_status.h"
#include "model/value.h"

#include <QString>

namespace tardigo {

class MinderDocument;
class AlertQueue;
struct ListLoad;

/// What the minder needs from whoever keeps the open documents: the application, or the windowless
/// host of the command-line tool.
class MinderHost {
public:
    virtual ~MinderHost() = default;

    /// The open document of that file, or null.
    virtual MinderDocument* documentForFileName(const QString& path) = 0;
    /// Makes a document of the list already read from the file at path, without showing it; null
    /// when it cannot.
    virtual MinderDocument* openDocumentWithoutDisplay(const QString& path, const ListLoad& load) = 0;
    /// Closes a document that the scan opened and found nothing in.
    virtual void removeDocument(MinderDocument* document) = 0;

    /// Brings the document's windows on screen.
    virtual void showWindows(MinderDocument& document) = 0;
    /// Lets the document record a notice about one of its nodes (its minder timestamps).
    virtual void minderWithNode(MinderDocument& document, const NodePtr& node, const QString& message,
                                ItemStatus status) = 0;
    /// The alert queue of the document's window, or null where there is no window.
    virtual AlertQueue* alertQueue(MinderDocument& document) = 0;
};

} // namespace tardigo
