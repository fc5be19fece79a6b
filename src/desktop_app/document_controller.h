#pragma once

#include "window/window_host.h"

#include <QObject>
#include <QPointer>

#include <vector>

namespace tardigo {

class DocumentMainWindow;
class TardigoDocument;

/// The application's open lists, one window each: new and untitled lists, opening files (a file
/// already open only comes forward), the recent lists, and closing everything at quit.
class DocumentController : public QObject, public WindowHost {
    Q_OBJECT
public:
    explicit DocumentController(QObject* parent = nullptr);
    ~DocumentController() override;

    /// A new untitled list in its own window, shown.
    DocumentMainWindow* newUntitledDocument();
    /// A window for a list opened without one, shown.
    DocumentMainWindow* showDocument(std::unique_ptr<TardigoDocument> document);
    /// The window of the list at path, opened when it is not open yet; null when it cannot be
    /// opened, after telling the user why, or, given `why`, leaving the telling to the caller (`why`
    /// stays empty when the user chose not to open it).
    DocumentMainWindow* openFile(const QString& path, QString* why = nullptr);
    DocumentMainWindow* windowForFileName(const QString& path) const;
    const std::vector<DocumentMainWindow*>& windows() const { return _windows; }
    /// Closes every window, each asking about unsaved changes; false when the user kept one open.
    bool closeAll();
    /// Asks about the unsaved changes of every window, as quitting does; false when the user chose
    /// to keep a window open. Windows closed afterwards ask no more.
    bool reviewUnsavedChanges();

    void newDocument() override;
    void openDocument() override;
    void openRecentDocument(const QString& path) override;
    QStringList recentDocuments() const override;
    void clearRecentDocuments() override;
    void noteRecentDocument(const QString& path) override;
    /// Asks about unsaved changes, lets the application remember its lists, closes every window and quits.
    void quit() override;
    void showPreferences(bool iconSection) override { emit preferencesRequested(iconSection); }
    void makeStickies(TardigoDocument& document, const std::vector<NodePtr>& items) override {
        emit stickiesRequested(&document, items);
    }
    void showStickies() override { emit showStickiesRequested(); }
    void showAgenda() override { emit agendaRequested(); }
    InspectorDockWidget* makeInspector(TardigoDocument& document, DocumentMainWindow& window) override;
    void windowClosed(DocumentMainWindow* window) override;

signals:
    /// Quitting: the unsaved changes are answered for and every window is still open.
    void aboutToQuit();
    /// A list's window opened.
    void documentOpened(tardigo::TardigoDocument* document);
    void documentClosed(tardigo::TardigoDocument* document);
    void lastWindowClosed();
    void preferencesRequested(bool iconSection);
    void stickiesRequested(tardigo::TardigoDocument* document, const std::vector<tardigo::NodePtr>& items);
    void showStickiesRequested();
    void agendaRequested();

private:
    DocumentMainWindow* show(DocumentMainWindow* window);
    /// Converts a 1.x list into the document once the user agrees; false with no error when the
    /// user declines.
    static bool convertLegacyFile(TardigoDocument& document, const QString& path, QString* error);
    QString nextUntitledName() const;
    /// The only window shows an untitled list nobody has touched: opening a file replaces it.
    DocumentMainWindow* replaceableWindow() const;

    std::vector<DocumentMainWindow*> _windows;
    std::vector<QPointer<DocumentMainWindow>> _closedWindows; // deleted later, or with the controller
};

} // namespace tardigo
