#pragma once

#include "minder/minder_host.h"

#include <memory>
#include <vector>

namespace tardigo {

/// The documents of a minder run without windows (the command-line tool, tests, benchmarks). A list
/// is opened through the document core and kept open while it carries notices, so that what the run
/// changed can be saved afterwards.
class HeadlessMinderHost : public MinderHost {
public:
    /// One notice, with the path under which the run asked for the list.
    struct Notice {
        QString path;
        NodePtr node;
        QString message;
        int itemStatus = 0;
    };

    HeadlessMinderHost();
    ~HeadlessMinderHost() override;
    HeadlessMinderHost(const HeadlessMinderHost&) = delete;
    HeadlessMinderHost& operator=(const HeadlessMinderHost&) = delete;

    /// Finds a list by the file it names, whatever the spelling of the path.
    TardigoDocument* documentForFileName(const QString& path) override;
    TardigoDocument* openDocumentWithoutDisplay(const QString& path, const ListLoad& load) override;
    void removeDocument(TardigoDocument* document) override;
    void showWindows(TardigoDocument& document) override;
    void minderWithNode(TardigoDocument& document, const NodePtr& node, const QString& message,
                        int itemStatus) override;
    TWAlertArray* alertArray(TardigoDocument& document) override;

    const std::vector<Notice>& notices() const { return _notices; }
    /// The open documents that have unsaved changes, in the order they were opened.
    std::vector<TardigoDocument*> changedDocuments() const;

private:
    struct OpenDocument {
        QString requestedPath;
        QString filePath; // canonical, to find the list again under another spelling
        std::unique_ptr<TardigoDocument> document;
    };

    const OpenDocument* entryFor(const TardigoDocument& document) const;

    std::vector<OpenDocument> _documents;
    std::vector<Notice> _notices;
};

} // namespace tardigo
