#pragma once

#include "archive/type_encoding.h"

#include <QByteArray>
#include <QHash>

namespace tardigo {

/// Parsed type strings by their text: an archive repeats the same few strings many times.
class TypeEncodingCache {
public:
    /// The types of a type string; none when it does not parse.
    const std::vector<TypeEncoding>& typesOf(const QByteArray& typeString);

private:
    QHash<QByteArray, std::vector<TypeEncoding>> _types;
};

} // namespace tardigo
