#include "archive/list_file.h"

#include "archive/archive_codec.h"
#include "archive/legacy_classes.h"
#include "archive/legacy_import.h"
#include "model/keys.h"
#include "model/tree_operations.h"
#include "platform/atomic_file.h"
#include "platform/list_lock.h"
#include "platform/settings.h"

#include <QFile>
#include <QFileInfo>

namespace tardigo {

namespace {

/// The list a decoded archive holds, after the load repairs. `fileName` names the file in errors.
ListLoad listFromArchive(const ArchiveDecodeResult& decoded, const QString& fileName) {
    ListLoad load;
    if (decoded.rootClassName == kTardigoDocumentEnvelopeClass) {
        load.isLegacy = true;
        load.error = QStringLiteral("“%1” is a list from Tardigo 1.x. Convert it with “tardigo-cli import” "
                                    "or open it in Tardigo to convert it.")
                         .arg(fileName);
        return load;
    }
    if (decoded.unreadable) {
        load.error = QStringLiteral("Could not read “%1”: %2.").arg(fileName, decoded.error);
        return load;
    }
    if (!decoded.ok()) {
        load.error =
            QStringLiteral("“%1” is not a Tardigo list, or it is damaged: %2.").arg(fileName, decoded.error);
        return load;
    }
    const DictPtr root = decoded.root.asDict();
    const QString* type = root ? root->value(key::documentType).asString() : nullptr;
    if (!type || *type != kTodoListType) {
        load.error = QStringLiteral("“%1” is not a Tardigo list: it holds no “%2” marker.")
                         .arg(fileName, kTodoListType);
        return load;
    }
    if (!root->contains(key::beta1DateFixedUp)) {
        fixTimeStamps(*root);
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        load.changed = true;
    }
    SeenNodes seen;
    fixDuplicateNodes(*root, seen);
    load.root = root;
    return load;
}

} // namespace

NodePtr newListRoot() {
    NodePtr root = Dict::create();
    root->set(key::children, Array::create());
    root->set(key::documentType, kTodoListType);
    root->set(key::panelInspector, Value::boolean(false));
    root->set(key::inspectorVisible, Value::boolean(false));
    root->set(key::completion, Value::integer(0));
    root->set(key::columnSortDirections, Dict::create());
    // A new list holds nothing the timestamp repair would change: it reads back as it was saved.
    root->set(key::beta1DateFixedUp, Value::boolean(true));
    return root;
}

std::optional<QByteArray> encodeListFile(const NodePtr& root, const QString& typeName) {
    if (typeName != kTodoListType)
        return std::nullopt;
    QByteArray bytes = encodeArchive(root);
    if (bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

ListLoad decodeListFile(const QByteArray& data, const QString& typeName, const QString& fileName) {
    if (typeName != kTodoListType) {
        ListLoad load;
        load.error = QStringLiteral("“%1” cannot be opened as a %2.").arg(fileName, typeName);
        return load;
    }
    return listFromArchive(decodeArchive(data), fileName);
}

ListLoad readListFile(const QString& path, const QString& shownName) {
    // Decoded from the open file a window at a time: a large list is never held twice.
    ListLoad load;
    QFile file(path);
    if (!openForReading(file, &load.error, shownName))
        return load;
    return listFromArchive(decodeArchive(file), shownName.isEmpty() ? QFileInfo(path).fileName() : shownName);
}

ListLoad importLegacyList(const QByteArray& data, const QString& fileName) {
    ListLoad load;
    load.isLegacy = true;
    const auto fail = [&](QString why) {
        if (!why.endsWith(u'.'))
            why += u'.';
        load.error = QStringLiteral("“%1” cannot be converted from Tardigo 1.x: %2").arg(fileName, why);
        return load;
    };
    const LegacyDecodeResult decoded = decodeLegacyArchive(data);
    if (!decoded.ok())
        return fail(decoded.error);
    const NodePtr root = newListRoot();
    // The old items' timestamps are repaired when the saved list is first read.
    root->remove(key::beta1DateFixedUp);
    if (!importTardigo1xDocument(*decoded.envelope, *root))
        return fail(QStringLiteral("its content holds an object that is not a ToDoItem"));
    load.root = root;
    return load;
}

ListLoad importLegacyListFile(const QString& path) {
    ListLoad load;
    const std::optional<QByteArray> bytes = readWholeFile(path, &load.error);
    return bytes ? importLegacyList(*bytes, QFileInfo(path).fileName()) : load;
}

QString writeListFile(const QString& path, const NodePtr& root) {
    // Held already by a writer that read the list first; taken here for one that did not.
    const ListLock lock(path);
    if (!lock.isLocked())
        return lock.error();
    return writeFileAtomically(path, [&](QIODevice& file) { return writeArchive(root, file); });
}

void addToMinderWatchList(const QString& path) {
    Settings& settings = Settings::instance();
    QStringList docs = settings.minderLists();
    if (path.isEmpty() || docs.contains(path))
        return;
    docs.append(path);
    settings.setMinderLists(docs);
    settings.sync();
}

} // namespace tardigo
