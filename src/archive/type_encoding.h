#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace tardigo {

/// One value's type in a group's type string: a letter code, an array "[Nt]" or a struct "{name=...}".
struct TypeEncoding {
    char code = 0;                    ///< the letter, '[' for an array or '{' for a struct
    qint32 count = 0;                 ///< number of elements of an array
    std::vector<TypeEncoding> fields; ///< an array's element type, or a struct's fields

    /// True for codes whose values are raw single bytes.
    bool isRawByte() const { return code == 'c' || code == 'C' || code == 'B'; }
};

/// Parses a type string into the types of its values. Codes that carry no bytes, unions and
/// unknown codes are refused: `error` then says what is wrong with the string.
std::optional<std::vector<TypeEncoding>> parseTypeEncodings(QByteArrayView text, QString* error);

/// Parsed type strings by their text: an archive repeats the same few strings many times.
class TypeEncodingCache {
public:
    /// The types of a type string; none when it does not parse.
    const std::vector<TypeEncoding>& typesOf(const QByteArray& typeString);

private:
    QHash<QByteArray, std::vector<TypeEncoding>> _types;
};

} // namespace tardigo
