#include "merge/conflict_copy.h"

#include "model/item_uids.h"
#include "model/keys.h"
#include "model/node_operations.h"

#include <QCryptographicHash>

namespace tardigo {

QString conflictCopyUid(const QString& uid, const QByteArray& versionHash) {
    const QByteArray key = uid.toUtf8() + '\n' + versionHash;
    return uid + QStringLiteral("-conflict-") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(12));
}

NodePtr conflictCopy(const Dict& version, const QString& copyUid) {
    NodePtr copy = Dict::create(version.isMutable);
    for (const auto& [key, value] : version.entries)
        if (key != key::children)
            copy->entries.emplace_back(key, value.deepCopy());
    copy->set(key::children, Array::create());
    removeUids(*copy);
    if (!copyUid.isEmpty())
        copy->set(key::uid, copyUid);
    copy->set(key::name, QStringLiteral("%1 (conflict copy)").arg(stringOf(version, key::name)));
    return copy;
}

} // namespace tardigo
