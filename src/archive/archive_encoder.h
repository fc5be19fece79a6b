#pragma once

#include "archive/archived_class.h"
#include "archive/typed_stream_writer.h"
#include "model/value.h"

#include <QHash>

#include <array>

namespace tardigo {

/// The class layer's writer: writes a value tree as the platform's archiver writes the objects
/// it stands for, straight through the primitives. What is shared is written once and referred to
/// after, and what a reader would refuse (nesting too deep) is refused.
class ArchiveEncoder {
public:
    ArchiveEncoder();

    /// A little-endian archive of the value as its root object; empty when it is refused.
    QByteArray encode(const Value& root);
    /// Writes the same archive to the device a chunk at a time; answers why it could not, or an
    /// empty string.
    QString encode(const Value& root, QIODevice& device);

private:
    /// Why the encoding was refused, or an empty string.
    QString refusal() const;
    void writeRoot(const Value& root);
    void writeObject(const Value& value);
    qint32 writeString(const QString& text, bool isMutable);
    /// A text or bytes whose buffer other values share was one object when read, or is one now.
    struct SharedBuffer {
        const void* address = nullptr;
        qsizetype size = 0;
        ArchivedClass cls = ArchivedClass::Object;
        bool operator==(const SharedBuffer& other) const = default;
        friend size_t qHash(const SharedBuffer& key, size_t seed) {
            return qHashMulti(seed, key.address, key.size, int(key.cls));
        }
    };
    /// Writes a reference when the shared buffer was written before and answers its object's
    /// number; -1 when it was not.
    qint32 referToShared(const SharedBuffer& buffer);
    /// Begins a string object; its text follows.
    qint32 beginString(bool isMutable);
    /// Dictionary keys equal in content are written once, as the platform's constant keys are.
    void writeKey(const QString& key);
    void writeNumber(const Number& number);
    void writeData(const QByteArray& bytes, bool isMutable);
    void writeArray(const ArrayPtr& array);
    void writeDictionary(const DictPtr& dict);
    void writeHistoryEntry(const HistoryEntry& entry, long owners);
    void writeCalendarDate(const CalendarDate& date);
    void writeTimeZone(const TimeZone& zone);
    void writeColor(const Color& color);
    /// Writes a reference when the container was written before, else begins its object.
    bool writtenBefore(const void* container, long owners, ArchivedClass cls);
    qint32 beginObject(ArchivedClass cls);
    void writeType(char code);

    TypedStreamWriter _out;
    std::array<qint32, kArchivedClassCount> _classNumbers;
    std::array<qint32, 128> _typeStrings; // string-table index of one-letter type strings
    std::array<qint32, 128> _cStrings;    // object number of one-letter C strings
    QHash<const void*, qint32> _containers;
    QHash<QString, qint32> _keys;
    struct KeyByAddress {
        const QChar* chars = nullptr;
        qsizetype size = 0;
        qint32 number = -1;
    };
    std::array<KeyByAddress, 256> _keysByAddress;
    QHash<QString, qint32> _timeZones;
    QHash<SharedBuffer, qint32> _sharedBuffers;
    bool _tooDeep = false;
};

} // namespace tardigo
