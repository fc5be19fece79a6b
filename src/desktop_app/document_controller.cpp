#include "desktop_app/document_controller.h"

#include "archive/list_file.h"
#include "desktop_app/recent_documents.h"
#include "dialogs/dialog_service.h"
#include "dialogs/file_error_messages.h"
#include "document/autosave_scheduler.h"
#include "document/tardigo_document.h"
#include "inspector/inspector_dock.h"
#include "model/node_operations.h"
#include "window/document_main_window.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tardigo {

DocumentController::DocumentController(QObject* parent) : QObject(parent) {}

DocumentController::~DocumentController() {
    // Windows that closed may still wait for their deletion; none may outlive the host it calls.
    for (const QPointer<DocumentMainWindow>& window : _closedWindows)
        delete window.data();
    for (DocumentMainWindow* window : _windows)
        delete window;
}

DocumentMainWindow* DocumentController::show(DocumentMainWindow* window) {
    _windows.push_back(window);
    // A child of the document: it goes with it.
    new AutosaveScheduler(window->document(), [window] { return window->autoSave(); });
    window->showWindows();
    emit documentOpened(&window->document());
    return window;
}

InspectorDockWidget* DocumentController::makeInspector(TardigoDocument& document,
                                                       DocumentMainWindow& window) {
    return new InspectorDock(document, window, *this);
}

DocumentMainWindow* DocumentController::showDocument(std::unique_ptr<TardigoDocument> document) {
    return show(new DocumentMainWindow(std::move(document), *this));
}

QString DocumentController::nextUntitledName() const {
    const QString untitled = TardigoDocument::untitledName();
    int highest = 0;
    for (const DocumentMainWindow* window : _windows) {
        const TardigoDocument& document = window->document();
        if (!document.fileName().isEmpty())
            continue;
        const QString name = document.displayName();
        if (name == untitled)
            highest = std::max(highest, 1);
        else if (name.startsWith(untitled + u' '))
            highest = std::max(highest, QStringView(name).mid(untitled.size() + 1).toInt());
    }
    return highest == 0 ? untitled : QStringLiteral("%1 %2").arg(untitled).arg(highest + 1);
}

DocumentMainWindow* DocumentController::newUntitledDocument() {
    auto document = std::make_unique<TardigoDocument>();
    document->setUntitledDisplayName(nextUntitledName());
    return show(new DocumentMainWindow(std::move(document), *this));
}

DocumentMainWindow* DocumentController::windowForFileName(const QString& path) const {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const auto found = std::find_if(_windows.begin(), _windows.end(), [&](const DocumentMainWindow* window) {
        return !window->document().fileName().isEmpty() &&
               QFileInfo(window->document().fileName()).absoluteFilePath() == absolute;
    });
    return found != _windows.end() ? *found : nullptr;
}

DocumentMainWindow* DocumentController::replaceableWindow() const {
    if (_windows.size() != 1)
        return nullptr;
    DocumentMainWindow* window = _windows.front();
    const TardigoDocument& document = window->document();
    const ArrayPtr items = childrenOf(*document.data());
    const bool untouched =
        document.fileName().isEmpty() && !document.isDocumentEdited() && (!items || items->size() == 0);
    return untouched ? window : nullptr;
}

DocumentMainWindow* DocumentController::openFile(const QString& path, QString* why) {
    if (DocumentMainWindow* open = windowForFileName(path)) {
        open->showWindows();
        return open;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    auto document = std::make_unique<TardigoDocument>();
    QString error;
    bool isLegacy = false;
    if (!document->readFromFile(absolute, &error, &isLegacy) &&
        (!isLegacy || !convertLegacyFile(*document, absolute, &error))) {
        if (why)
            *why = error;
        else if (!error.isEmpty())
            DialogService::error(QApplication::activeWindow(), openErrorMessage(absolute, error, isLegacy));
        return nullptr;
    }
    RecentDocuments::add(absolute);
    DocumentMainWindow* replaced = replaceableWindow();
    DocumentMainWindow* window = show(new DocumentMainWindow(std::move(document), *this));
    if (replaced)
        replaced->close();
    return window;
}

bool DocumentController::convertLegacyFile(TardigoDocument& document, const QString& path, QString* error) {
    // A list too new to convert is refused before the user is asked anything.
    if (const ListLoad check = importLegacyListFile(path); !check.ok()) {
        *error = check.error;
        return false;
    }
    const QMessageBox::StandardButton answer = DialogService::question(
        nullptr, QMessageBox::Question, tr("Please Confirm"), tr("Please Confirm"),
        tr("Opening a Tardigo 1.x document in Tardigo 2. After saving, it will no longer be "
           "usable in Tardigo 1.x."),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
    if (answer != QMessageBox::Ok) {
        error->clear(); // declining is no error
        return false;
    }
    return document.importLegacyFile(path, error);
}

bool DocumentController::closeAll() {
    // A copy: each closing window leaves the list.
    const std::vector<DocumentMainWindow*> open = _windows;
    for (DocumentMainWindow* window : open)
        if (!window->close())
            return false;
    return true;
}

void DocumentController::newDocument() {
    newUntitledDocument();
}

void DocumentController::openDocument() {
    const QStringList recent = RecentDocuments::paths();
    const QString directory = recent.isEmpty() ? QDir::homePath() : QFileInfo(recent.front()).absolutePath();
    const QString path = DialogService::openFileName(QApplication::activeWindow(), directory);
    if (!path.isEmpty())
        openFile(path);
}

void DocumentController::openRecentDocument(const QString& path) {
    if (!openFile(path))
        QApplication::beep();
}

QStringList DocumentController::recentDocuments() const {
    return RecentDocuments::paths();
}

void DocumentController::clearRecentDocuments() {
    RecentDocuments::clear();
}

void DocumentController::noteRecentDocument(const QString& path) {
    RecentDocuments::add(path);
}

bool DocumentController::reviewUnsavedChanges() {
    for (DocumentMainWindow* window : _windows)
        if (!window->confirmClose())
            return false;
    for (DocumentMainWindow* window : _windows)
        window->setChangesReviewed();
    return true;
}

void DocumentController::quit() {
    if (!reviewUnsavedChanges())
        return;
    emit aboutToQuit();
    closeAll();
    QApplication::quit();
}

void DocumentController::windowClosed(DocumentMainWindow* window) {
    std::erase(_windows, window);
    emit documentClosed(&window->document());
    if (_windows.empty())
        emit lastWindowClosed();
    std::erase_if(_closedWindows, [](const QPointer<DocumentMainWindow>& closed) { return closed.isNull(); });
    _closedWindows.emplace_back(window);
    window->deleteLater();
}

} // namespace tardigo
