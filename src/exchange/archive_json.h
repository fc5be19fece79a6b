#pragma once

#include <QByteArray>
#include <QIODevice>

namespace tardigo {

struct GenericArchive;

/// Any archive as JSON: an array with one element per top-level group, each
/// [typeString, value, ...]. Objects whose classes the class layer knows appear as values (see
/// valueToJson); others as {"$class": name, "$version": n, "$groups": [[typeString, value, ...],
/// ...]}, and an object printed before as {"$ref": k, "$class": name}, k counting the archive's
/// objects from 0 in order of appearance. Other group values: integers and characters as numbers
/// (unsigned kinds unsigned), reals as numbers, C strings, atoms and selectors as strings (NULL
/// as null), byte buffers and byte arrays as {"$data": base64}, classes as {"$class": name,
/// "$version": n} (Nil as null), other arrays and structs as arrays of their elements.
QByteArray archiveToJson(const GenericArchive& archive, bool pretty);
/// The same, written to the device as it goes; false when the device refused any of it.
bool archiveToJson(const GenericArchive& archive, bool pretty, QIODevice& device);

} // namespace tardigo
