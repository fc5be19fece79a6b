#include "document/tardigo_document.h"

#include "document/document_window.h"
#include "model/keys.h"
#include "platform/localized.h"
#include "platform/user_defaults.h"
#include "storage/list_file.h"

#include <QFileInfo>
#include <QTimer>

namespace tardigo {

TardigoDocument::TardigoDocument(QObject* parent)
    : QObject(parent), _data(newListRoot()),
      _categoriesLocalScope(UserDefaults::standard().boolForKey(pref::categoriesLocalScope)),
      _deferred(new QObject(this)) {}

TardigoDocument::~TardigoDocument() = default;

std::optional<QByteArray> TardigoDocument::dataRepresentationOfType(const QString& typeName) const {
    return tardigo::dataRepresentationOfType(_data, typeName);
}

bool TardigoDocument::loadDataRepresentation(const QByteArray& bytes, const QString& typeName,
                                             QString* error) {
    const QString name = _fileName.isEmpty() ? displayName() : QFileInfo(_fileName).fileName();
    const ListLoad load = tardigo::loadDataRepresentation(bytes, typeName, name);
    if (!load.ok()) {
        *error = load.error;
        return false;
    }
    _data = load.root;
    _changeCount = 0;
    emit dataReplaced();
    if (load.changed)
        updateChangeCount(ChangeDone);
    else
        emit editedChanged(false);
    return true;
}

bool TardigoDocument::readFromFile(const QString& path, QString* error) {
    const ListLoad load = readListFile(path);
    if (!load.ok()) {
        *error = load.error;
        return false;
    }
    _data = load.root;
    _changeCount = 0;
    setFileName(path);
    emit dataReplaced();
    if (load.changed)
        updateChangeCount(ChangeDone);
    return true;
}

bool TardigoDocument::writeToFile(const QString& path, QString* error) {
    *error = writeListFile(path, _data);
    if (!error->isEmpty())
        return false;
    if (path != _fileName)
        setFileName(path);
    updateChangeCount(ChangeCleared);
    return true;
}

void TardigoDocument::setFileName(const QString& path) {
    performLater([this] { updateFilenameInPrefs(); });
    _fileName = path;
    emit fileNameChanged(path);
}

QString TardigoDocument::displayName() const {
    if (!_fileName.isEmpty())
        return QFileInfo(_fileName).fileName();
    return _untitledName.isEmpty() ? localized(QStringLiteral("Untitled")) : _untitledName;
}

void TardigoDocument::updateFilenameInPrefs() {
    if (!_fileName.isEmpty())
        addToMinderWatchList(_fileName);
    const QString name = displayName();
    if (name != localized(QStringLiteral("Untitled")) && _window)
        _window->saveLayoutUnderName(name);
}

void TardigoDocument::updateChangeCount(ChangeKind kind) {
    const bool wasEdited = isDocumentEdited();
    switch (kind) {
    case ChangeDone:
        ++_changeCount;
        break;
    case ChangeUndone:
        --_changeCount;
        break;
    case ChangeCleared:
        _changeCount = 0;
        break;
    }
    if (wasEdited != isDocumentEdited())
        emit editedChanged(isDocumentEdited());
}

void TardigoDocument::performLater(std::function<void()> call) {
    if (_deferred)
        QTimer::singleShot(0, _deferred.data(), std::move(call));
}

void TardigoDocument::close() {
    if (!_deferred)
        return;
    delete _deferred.data();
    emit closed();
}

} // namespace tardigo
