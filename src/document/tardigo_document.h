#pragma once

#include "model/value.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

namespace tardigo {

class DocumentWindow;

/// One open list: its root node, its file, its change count and the calls it has deferred.
class TardigoDocument : public QObject {
    Q_OBJECT
public:
    /// The platform's kinds of change.
    enum ChangeKind { ChangeDone, ChangeUndone, ChangeCleared };

    /// A new, empty, untitled list.
    explicit TardigoDocument(QObject* parent = nullptr);
    ~TardigoDocument() override;

    /// The name of the window layout that shows a list.
    static QString windowNibName() { return QStringLiteral("TardigoDocument"); }

    const NodePtr& data() const { return _data; }

    std::optional<QByteArray> dataRepresentationOfType(const QString& typeName) const;
    /// Replaces the list with the one read from data; on failure the document is unchanged and
    /// error says why.
    bool loadDataRepresentation(const QByteArray& data, const QString& typeName, QString* error);
    /// Reads the list file at path and takes its name.
    bool readFromFile(const QString& path, QString* error);
    /// Saves the list atomically to path and takes its name; the change count is cleared.
    bool writeToFile(const QString& path, QString* error);

    QString fileName() const { return _fileName; }
    /// Records the file name; the file-name bookkeeping runs on the next pass of the event loop.
    void setFileName(const QString& path);
    /// The file's name, or the localized "Untitled" (with a number, as the application assigns).
    QString displayName() const;
    void setUntitledDisplayName(const QString& name) { _untitledName = name; }
    /// Registers the file with the minder and saves the window layout under the display name.
    void updateFilenameInPrefs();

    void updateChangeCount(ChangeKind kind);
    bool isDocumentEdited() const { return _changeCount != 0; }

    bool categoriesLocalScope() const { return _categoriesLocalScope; }
    void setCategoriesLocalScope(bool local) { _categoriesLocalScope = local; }

    void setWindow(DocumentWindow* window) { _window = window; }
    DocumentWindow* window() const { return _window; }

    /// Runs the call on the next pass of the event loop, unless the document closes first.
    void performLater(std::function<void()> call);
    /// Closing cancels every deferred call; whoever owns the document deletes it.
    void close();
    bool isClosed() const { return _deferred == nullptr; }

signals:
    void editedChanged(bool edited);
    void dataReplaced();
    void fileNameChanged(const QString& path);
    void closed();

private:
    NodePtr _data;
    QString _fileName;
    QString _untitledName;
    bool _categoriesLocalScope = true;
    qint64 _changeCount = 0;
    DocumentWindow* _window = nullptr;
    QPointer<QObject> _deferred; // parent of deferred calls; deleting it cancels them
};

} // namespace tardigo
