#pragma once

#include "document/tardigo_document.h"
#include "minder/minder_host.h"

#include <memory>
#include <vector>

namespace tardigo {

/// The documents of a minder run without windows, as the command-line tool's reminder pass keeps them.
/// A list is opened through the document core and kept open while it carries notices, so that what
/// the run changed can be saved afterwards.
class WindowlessMinderHost : public MinderHost {
public:
    /// One notice, with the path under which the run asked for the list.
    struct Notice {
        QString path;
        NodePtr node;
        QString message;
        ItemStatus status = ItemStatusDue;
    };

    WindowlessMinderHost();
    ~WindowlessMinderHost() override;
    WindowlessMinderHost(const WindowlessMinderHost&) = delete;
    WindowlessMinderHost& operator=(const WindowlessMinderHost&) = delete;

    /// Finds a list by the file it names, whatever the spelling of the path.
    TardigoDocument* documentForFileName(const QString& path) override;
    TardigoDocument* openDocumentWithoutDisplay(const QString& path, const ListLoad& load) override;
    void removeDocument(MinderDocument* document) override;
    void showWindows(MinderDocument& document) override;
    void minderWithNode(MinderDocument& document, const NodePtr& node, const QString& message,
                        ItemStatus status) override;
    AlertQueue* alertQueue(MinderDocument& document) override;

    const std::vector<Notice>& notices() const { return _notices; }
    /// Closes every list it keeps open; the notices stay.
    void closeDocuments();
    /// The open documents that have unsaved changes, in the order they were opened.
    std::vector<TardigoDocument*> changedDocuments() const;

private:
    struct OpenDocument {
        QString requestedPath;
        QString filePath; // canonical, to find the list again under another spelling
        std::unique_ptr<TardigoDocument> document;
    };

    const OpenDocument* entryFor(const MinderDocument& document) const;

    std::vector<OpenDocument> _documents;
    std::vector<Notice> _notices;
};

} // namespace tardigo
