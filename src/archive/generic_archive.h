#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <variant>
#include <vector>

namespace tardigo {

/// One value of a group, as read for its type code.
struct GenericValue {
    char code = 0;       ///< the type code; '[' for an array, '{' for a struct
    bool isNull = false; ///< a NULL C string or shared string, a nil object or Nil class
    /// Integers and raw bytes (unsigned kinds as their 64-bit pattern), object and class indexes;
    /// reals; the text of strings, '+' buffers and byte arrays; the elements of other arrays and
    /// the fields of structs.
    std::variant<qint64, double, QByteArray, std::vector<GenericValue>> data;

    qint64 integer() const;
    double real() const;
    QByteArray bytes() const;
    const std::vector<GenericValue>& items() const;
};

/// A type string and its values.
struct GenericGroup {
    QByteArray typeString;
    std::vector<GenericValue> values;
};

struct GenericClass {
    QByteArray name;
    qint64 version = 0;
    qint32 superclass = -1; ///< index in GenericArchive::classes, -1 for Nil
};

struct GenericObject {
    qint32 classIndex = -1;
    std::vector<GenericGroup> groups;
};

/// Any typed-stream archive, whatever its classes. Objects and classes are held in tables and
/// referred to by index, so shared and self-containing objects need no special form.
struct GenericArchive {
    bool bigEndian = false;
    qint64 systemVersion = 1000;
    std::vector<GenericGroup> groups;   ///< the top-level groups, in order
    std::vector<GenericObject> objects; ///< in order of appearance
    std::vector<GenericClass> classes;  ///< in order of appearance
};

struct GenericArchiveReadResult {
    GenericArchive archive;
    QString error;
    qint64 errorOffset = -1;
    bool ok() const { return error.isEmpty(); }
};

GenericArchiveReadResult readGenericArchive(QByteArrayView bytes);
/// Writes the archive back in its byte order; an archive read by readGenericArchive from an Apple
/// archiver's output comes back byte for byte.
QByteArray writeGenericArchive(const GenericArchive& archive);
/// A little-endian archive whose only group holds the given object of the archive as its root.
QByteArray writeGenericObject(const GenericArchive& archive, qint32 object);

} // namespace tardigo
