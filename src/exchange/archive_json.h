#pragma once

#include "archive/type_encoding.h"
#include "model/value.h"
#include "model/value_expansion.h"

#include <QByteArray>
#include <QIODevice>

#include <optional>
#include <vector>

namespace tardigo {

class JsonWriter;
struct GenericArchive;
struct GenericGroup;
struct GenericValue;

/// Any archive as JSON: an array with one element per top-level group, each
/// [typeString, value, ...]. Objects whose classes the class layer knows appear as values (see
/// valueToJson); others as {"$class": name, "$version": n, "$groups": [[typeString, value, ...],
/// ...]}, and an object printed before as {"$ref": k, "$class": name}, k counting the archive's
/// objects from 0 in order of appearance. Other group values: integers and characters as numbers
/// (unsigned kinds unsigned), reals as numbers, C strings, atoms and selectors as strings (NULL
/// as null), byte buffers and byte arrays as {"$data": base64}, classes as {"$class": name,
/// "$version": n} (Nil as null), other arrays and structs as arrays of their elements.
///
/// Empty when printing it would balloon (see ArchiveJson::refusal).
QByteArray archiveToJson(const GenericArchive& archive, bool pretty);

/// Prints an archive as archiveToJson describes. Made before anything is printed, it decodes the
/// objects printed as values, so that it can tell first whether printing would balloon.
class ArchiveJson {
public:
    explicit ArchiveJson(const GenericArchive& archive);

    /// Why the archive should not be printed, or an empty string: the objects printed as values
    /// share texts or data that, written out wherever they occur, would come to far more than they
    /// hold (see ValueExpansion).
    const QString& refusal() const { return _refusal; }
    /// Writes the whole archive; false when the device refused any of it.
    bool write(bool pretty, QIODevice& device);
    void write(JsonWriter& json);

private:
    bool isKnown(qint32 object) const;
    /// Marks the objects whose whole graph the class layer can decode, in one walk, so that an
    /// unknown object deep down is not met again by every object above it.
    void findDecodable();
    /// Decodes, in the order they are printed, the objects printed as values, and measures them.
    void decodeValues();
    void decodeValuesBelow(qint32 object, std::vector<bool>& visited, ValueExpansion& expansion);
    void writeGroup(JsonWriter& json, const GenericGroup& group);
    void writeData(JsonWriter& json, const QByteArray& bytes);
    /// The "$class" and "$version" members; a `ref` names the class only.
    void writeClass(JsonWriter& json, qint32 cls, bool withVersion);
    void writeValue(JsonWriter& json, const TypeEncoding& type, const GenericValue& value);
    void writeObject(JsonWriter& json, const GenericValue& value);

    const GenericArchive& _archive;
    std::vector<bool> _printed;
    std::vector<bool> _decodable;
    std::vector<std::optional<Value>> _values; // the decoded objects printed as values, until printed
    TypeEncodingCache _types;
    QString _refusal;
};

} // namespace tardigo
