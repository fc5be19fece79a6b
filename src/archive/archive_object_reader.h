#pragma once

#include "model/value.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace tardigo {

/// What a decoder registered for another archived class reads its object's groups through.
class ArchiveObjectReader {
public:
    virtual ~ArchiveObjectReader() = default;

    /// The version the archive records for a class met so far, absent when it records none.
    virtual std::optional<qint64> versionForClassName(QByteArrayView name) const = 0;
    /// Reads the next group, whose type string must be exactly `typeString`, made of the codes
    /// @ c C s S i I l L q Q f d. Objects come back decoded by the class layer (nil as an absent
    /// value), the other codes as numbers of their kind. Empty after a failure.
    virtual std::vector<Value> decodeGroup(QByteArrayView typeString) = 0;
    /// Stops decoding with the given problem; the byte offset is added.
    virtual void fail(const QString& what) = 0;
    virtual bool failed() const = 0;
};

} // namespace tardigo
