#include "minder/headless_minder_host.h"

#include "document/document_window.h"
#include "document/tardigo_document.h"
#include "minder/minder_log.h"

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

HeadlessMinderHost::HeadlessMinderHost() = default;

HeadlessMinderHost::~HeadlessMinderHost() {
    for (OpenDocument& open : _documents)
        open.document->close();
}

TardigoDocument* HeadlessMinderHost::documentForFileName(const QString& path) {
    const QString filePath = filePathOf(path);
    const auto found = std::find_if(_documents.begin(), _documents.end(),
                                    [&](const OpenDocument& open) { return open.filePath == filePath; });
    return found == _documents.end() ? nullptr : found->document.get();
}

TardigoDocument* HeadlessMinderHost::openDocumentWithoutDisplay(const QString& path, const ListLoad& load) {
    auto document = std::make_unique<TardigoDocument>();
    QString error;
    if (!document->adoptFile(load, path, &error)) {
        qCInfo(lcMinder).noquote() << "skipping" << path << error;
        return nullptr;
    }
    _documents.push_back({path, filePathOf(path), std::move(document)});
    return _documents.back().document.get();
}

void HeadlessMinderHost::removeDocument(TardigoDocument* document) {
    const auto found = std::find_if(_documents.begin(), _documents.end(), [&](const OpenDocument& open) {
        return open.document.get() == document;
    });
    if (found == _documents.end())
        return;
    found->document->close();
    _documents.erase(found);
}

void HeadlessMinderHost::showWindows(TardigoDocument& document) {
    if (DocumentWindow* window = document.window())
        window->showWindows();
}

void HeadlessMinderHost::minderWithNode(TardigoDocument& document, const NodePtr& node,
                                        const QString& message, int itemStatus) {
    document.minderWithNode(node, message, itemStatus);
    const OpenDocument* open = entryFor(document);
    _notices.push_back({open ? open->requestedPath : document.fileName(), node, message, itemStatus});
}

TWAlertArray* HeadlessMinderHost::alertArray(TardigoDocument& document) {
    return document.alertArray();
}

std::vector<TardigoDocument*> HeadlessMinderHost::changedDocuments() const {
    std::vector<TardigoDocument*> changed;
    for (const OpenDocument& open : _documents)
        if (open.document->isDocumentEdited())
            changed.push_back(open.document.get());
    return changed;
}

const HeadlessMinderHost::OpenDocument* HeadlessMinderHost::entryFor(const TardigoDocument& document) const {
    const auto found = std::find_if(_documents.begin(), _documents.end(), [&](const OpenDocument& open) {
        return open.document.get() == &document;
    });
    return found == _documents.end() ? nullptr : &*found;
}

} // namespace tardigo
