#include "model/item_uids.h"

#include "model/item_walk.h"
#include "model/keys.h"

#include <QRandomGenerator>
#include <QSet>
#include <QUuid>

#include <array>
#include <cstring>

namespace tardigo {

QString newItemUid() {
    // A random (version 4) UUID from the global generator, which the system seeds once: asking the
    // system's own source for each of the many uids of a first export is slow.
    std::array<quint32, 4> words;
    QRandomGenerator::global()->fillRange(words.data(), qsizetype(words.size()));
    std::array<char, 16> bytes;
    std::memcpy(bytes.data(), words.data(), bytes.size());
    bytes[6] = char((bytes[6] & 0x0f) | 0x40); // version 4: random
    bytes[8] = char((bytes[8] & 0x3f) | 0x80); // the RFC 4122 variant
    return QUuid::fromRfc4122(QByteArrayView(bytes.data(), qsizetype(bytes.size())))
        .toString(QUuid::WithoutBraces);
}

qsizetype assignItemUids(Dict& root) {
    QSet<QString> seen;
    qsizetype given = 0;
    forEachItemBelow(root, [&](const NodePtr& item, const Dict&, qsizetype) {
        const QString* uid = item->value(key::uid).asString();
        if (uid && !uid->isEmpty() && !seen.contains(*uid)) {
            seen.insert(*uid);
            return;
        }
        const QString fresh = newItemUid();
        seen.insert(fresh);
        item->set(key::uid, fresh);
        ++given;
    });
    return given;
}

void removeUids(Dict& copy) {
    copy.remove(key::uid);
    forEachItemBelow(copy, [](const NodePtr& item, const Dict&, qsizetype) { item->remove(key::uid); });
}

} // namespace tardigo
