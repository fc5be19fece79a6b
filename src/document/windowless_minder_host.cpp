#include "document/windowless_minder_host.h"

#include "model/core_log.h"

#include <QFileInfo>

#include <algorithm>

namespace tardigo {

namespace {
QString filePathOf(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}
} // namespace

WindowlessMinderHost::WindowlessMinderHost() = default;

WindowlessMinderHost::~WindowlessMinderHost() {
    closeDocuments();
}

void WindowlessMinderHost::closeDocuments() {
    for (OpenDocument& open : _documents)
        open.document->close();
    _documents.clear();
}

TardigoDocument* WindowlessMinderHost::documentForFileName(const QString& path) {
    const QString filePath = filePathOf(path);
    const auto found = std::find_if(_documents.begin(), _documents.end(),
                                    [&](const OpenDocument& open) { return open.filePath == filePath; });
    return found == _documents.end() ? nullptr : found->document.get();
}

TardigoDocument* WindowlessMinderHost::openDocumentWithoutDisplay(const QString& path, const ListLoad& load) {
    auto document = std::make_unique<TardigoDocument>();
    QString error;
    if (!document->adoptFile(load, path, &error)) {
        qCInfo(lcDocument).noquote() << "skipping" << path << error;
        return nullptr;
    }
    _documents.push_back({path, filePathOf(path), std::move(document)});
    return _documents.back().document.get();
}

void WindowlessMinderHost::removeDocument(MinderDocument* document) {
    const auto found = std::find_if(_documents.begin(), _documents.end(), [&](const OpenDocument& open) {
        return open.document.get() == document;
    });
    if (found == _documents.end())
        return;
    found->document->close();
    _documents.erase(found);
}

void WindowlessMinderHost::showWindows(MinderDocument& document) {
    document.showWindows();
}

void WindowlessMinderHost::minderWithNode(MinderDocument& document, const NodePtr& node,
                                          const QString& message, ItemStatus status) {
    document.minderWithNode(node, message, status);
    const OpenDocument* open = entryFor(document);
    _notices.push_back({open ? open->requestedPath : document.fileName(), node, message, status});
}

AlertQueue* WindowlessMinderHost::alertQueue(MinderDocument& document) {
    return document.alertQueue();
}

std::vector<TardigoDocument*> WindowlessMinderHost::changedDocuments() const {
    std::vector<TardigoDocument*> changed;
    for (const OpenDocument& open : _documents)
        if (open.document->isDocumentEdited())
            changed.push_back(open.document.get());
    return changed;
}

const WindowlessMinderHost::OpenDocument*
WindowlessMinderHost::entryFor(const MinderDocument& document) const {
    const auto found = std::find_if(_documents.begin(), _documents.end(), [&](const OpenDocument& open) {
        return open.document.get() == &document;
    });
    return found == _documents.end() ? nullptr : &*found;
}

} // namespace tardigo
