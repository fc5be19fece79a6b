#pragma once

#include "model/value.h"

#include <QByteArray>
#include <QStringList>

#include <array>
#include <optional>

namespace tardigo {

/// A hash of what the item says under the keys, in their order (numbers by value, as they
/// compare), its parent's uid and its place. Keys not named do not count, so that they never make
/// an item look changed. The same from run to run: the sync keeps it.
QByteArray itemFingerprint(const Dict& item, const QStringList& keys, const QString& parentUid,
                           std::optional<qint64> order);

/// 128 bits that tell what an item says, kept in place: a list's base holds one for every item.
struct ContentFingerprint {
    std::array<quint64, 2> bits{};
    bool operator==(const ContentFingerprint&) const = default;
    QByteArray toBytes() const { return QByteArray(reinterpret_cast<const char*>(bits.data()), sizeof bits); }
};

/// A hash of every key the item holds but those left out (its children, say), whatever order they
/// are stored in: two items with equal fingerprints say the same. For one run only: a quicker hash,
/// as a list's base is taken at every save.
ContentFingerprint contentFingerprint(const Dict& item, const QStringList& leftOut);

} // namespace tardigo
