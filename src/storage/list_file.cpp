#include "storage/list_file.h"

#include "model/keys.h"
#include "model/tree_operations.h"
#include "platform/atomic_file.h"
#include "platform/user_defaults.h"
#include "storage/archive_codec.h"

#include <QFileInfo>

namespace tardigo {

namespace {
const QByteArray kLegacyEnvelopeClass = QByteArrayLiteral("TardigoDocumentEnvelope");
}

NodePtr newListRoot() {
    NodePtr root = Dict::create();
    root->set(key::children, Array::create());
    root->set(key::documentType, kTodoListType);
    root->set(key::panelInspector, Value::boolean(false));
    root->set(key::inspectorVisible, Value::boolean(false));
    root->set(key::completion, Value::integer(0));
    root->set(key::columnSortDirections, Dict::create());
    return root;
}

std::optional<QByteArray> dataRepresentationOfType(const NodePtr& root, const QString& typeName) {
    if (typeName != kTodoListType)
        return std::nullopt;
    return encodeArchive(root);
}

ListLoad loadDataRepresentation(const QByteArray& data, const QString& typeName, const QString& fileName) {
    ListLoad load;
    if (typeName != kTodoListType) {
        load.error = QStringLiteral("“%1” cannot be opened as a %2.").arg(fileName, typeName);
        return load;
    }
    const ArchiveDecodeResult decoded = decodeArchive(data);
    if (decoded.rootClassName == kLegacyEnvelopeClass) {
        load.isLegacy = true;
        load.error = QStringLiteral("“%1” is a list from Tardigo 1.x. Convert it with “tardigo-cli import” "
                                    "or open it in Tardigo to convert it.")
                         .arg(fileName);
        return load;
    }
    if (!decoded.ok()) {
        load.error = QStringLiteral("“%1” is not a Tardigo list, or it is damaged: %2.").arg(fileName, decoded.error);
        return load;
    }
    const DictPtr root = decoded.root.asDict();
    const QString* type = root ? root->value(key::documentType).asString() : nullptr;
    if (!type || *type != kTodoListType) {
        load.error = QStringLiteral("“%1” is not a Tardigo list: it holds no “%2” marker.").arg(fileName, kTodoListType);
        return load;
    }
    if (!root->contains(key::beta1DateFixedUp)) {
        VKfixupTimeStamps(*root);
        root->set(key::beta1DateFixedUp, Value::boolean(true));
        load.changed = true;
    }
    SeenNodes seen;
    VKfixupDuplicateNodesWithHash(*root, seen);
    load.root = root;
    return load;
}

ListLoad readListFile(const QString& path) {
    QString error;
    const std::optional<QByteArray> bytes = readWholeFile(path, &error);
    if (!bytes) {
        ListLoad load;
        load.error = error;
        return load;
    }
    return loadDataRepresentation(*bytes, kTodoListType, QFileInfo(path).fileName());
}

QString writeListFile(const QString& path, const NodePtr& root) {
    return writeFileAtomically(path, *dataRepresentationOfType(root, kTodoListType));
}

void addToMinderWatchList(const QString& path) {
    UserDefaults& defaults = UserDefaults::standard();
    QStringList docs = defaults.stringArrayForKey(pref::tardigoMinderDocs);
    if (path.isEmpty() || docs.contains(path))
        return;
    docs.append(path);
    defaults.setStringArray(pref::tardigoMinderDocs, docs);
    defaults.synchronize();
}

} // namespace tardigo
