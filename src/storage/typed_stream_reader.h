#pragma once

#include "storage/typed_stream_format.h"

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace tardigo {

/// Reads the primitives of a typed-stream archive: header, integers, reals, strings, classes and
/// object heads, with the string table and the object table. Every read is bounds-checked; the
/// first problem is kept as an error sentence with its byte offset, and every later read answers
/// a neutral value without moving.
class TypedStreamReader {
public:
    /// Nesting deeper than this is refused, so that hostile archives cannot exhaust the stack.
    static constexpr int kMaxNesting = 1000;

    enum class Head : quint8 { Nil, New, Reference };
    struct ObjectHead {
        Head head = Head::Nil;
        qint32 object = -1; ///< index among the archive's objects, in order of appearance
    };
    struct ClassInfo {
        qint32 name = -1; ///< string-table index
        qint64 version = 0;
        qint32 superclass = -1; ///< class index, -1 for Nil
    };

    explicit TypedStreamReader(QByteArrayView bytes);

    bool readHeader();
    bool isBigEndian() const { return _bigEndian; }
    qint64 systemVersion() const { return _systemVersion; }

    qint64 offset() const { return _pos; }
    /// Goes back to an offset read before, to read a primitive again; the tables stay as they are.
    void seek(qint64 offset) { _pos = offset; }
    bool atEnd() const { return _pos >= _size; }
    qint64 remaining() const { return _size - _pos; }

    bool failed() const { return _failed; }
    const QString& error() const { return _error; }
    qint64 errorOffset() const { return _errorOffset; }
    /// Keeps the first error: `what` is completed with " at byte <offset>".
    void fail(const QString& what, qint64 offset);

    quint8 readByte(const char* what);
    QByteArrayView readBytes(qint64 count, const char* what);
    /// Refuses a count of items (or a length) that cannot fit in the bytes left, each item taking
    /// at least `minBytes`, before anyone allocates for it.
    bool checkCount(qint64 count, qint64 minBytes, qint64 at, const char* noun = "count");

    /// An integer in any of its encodings, as a signed 64-bit value.
    qint64 readInteger() {
        if (const int small = nextInline(); small != kNotInline) {
            ++_pos;
            return small;
        }
        return readIntegerSlowly();
    }
    /// A real of type 'f' or 'd', in its real or integer encoding.
    double readReal(char code);
    /// Sign-extends then truncates a read integer to the width of the type code, as C does.
    static qint64 signedOfType(char code, qint64 raw);
    static quint64 unsignedOfType(char code, qint64 raw);

    /// A shared string: its string-table index, or -1 for NULL.
    qint32 readSharedString() {
        if (const int small = nextInline();
            small != kNotInline && small + typedstream::kReferenceBase < qint64(_strings.size())) {
            ++_pos;
            return qint32(small + typedstream::kReferenceBase);
        }
        return readSharedStringSlowly();
    }
    QByteArrayView string(qint32 index) const {
        const auto& [offset, length] = _strings[size_t(index)];
        return QByteArrayView(_data + offset, length);
    }
    /// A C string: the string-table index of its text, or -1 for NULL.
    qint32 readCString() {
        const qint32 text = nextInlineReference(Kind::CString);
        return text != kNotInline ? text : readCStringSlowly();
    }
    /// A class chain: the class index of its first class, or -1 for Nil.
    qint32 readClass() {
        const qint32 cls = nextInlineReference(Kind::Class);
        return cls != kNotInline ? cls : readClassSlowly();
    }
    const ClassInfo& classInfo(qint32 index) const { return _classes[size_t(index)]; }
    QByteArrayView className(qint32 index) const { return string(_classes[size_t(index)].name); }
    qint32 classCount() const { return qint32(_classes.size()); }
    /// The version recorded for a class name in any chain read so far.
    std::optional<qint64> versionForClassName(QByteArrayView name) const;

    ObjectHead readObject() {
        const qint32 object = nextInlineReference(Kind::Object);
        return object != kNotInline ? ObjectHead{Head::Reference, object} : readObjectSlowly();
    }
    /// True when the next byte ends an object.
    bool atObjectEnd() const {
        return !_failed && _pos < _size && quint8(_data[_pos]) == typedstream::kEndOfObject;
    }
    bool readObjectEnd() {
        if (!atObjectEnd())
            return reportMissingEnd();
        ++_pos;
        return true;
    }

private:
    enum class Kind : quint8 { Object, Class, CString };
    struct Entry {
        Kind kind;
        qint32 payload; ///< object index, class index or string-table index
    };

    static constexpr int kNotInline = -1000;

    bool need(qint64 count, qint64 at, const char* what) {
        return (count >= 0 && _size - _pos >= count && !_failed) || reportShortage(at, what);
    }
    bool reportShortage(qint64 at, const char* what);
    bool reportMissingEnd();
    /// The next byte as a one-byte integer, or kNotInline when it is a tag or there is none.
    int nextInline() const {
        if (_failed || _pos >= _size)
            return kNotInline;
        const int head = qint8(_data[_pos]);
        return head >= typedstream::kSmallestInlineInteger ? head : kNotInline;
    }
    /// Consumes a one-byte reference to an object-table entry of the kind and answers its
    /// payload; answers kNotInline, consuming nothing, for anything else (the slow path decides).
    qint32 nextInlineReference(Kind kind) {
        const int small = nextInline();
        if (small == kNotInline || small + typedstream::kReferenceBase >= qint64(_entries.size()))
            return kNotInline;
        const Entry& entry = _entries[size_t(small + typedstream::kReferenceBase)];
        if (entry.kind != kind)
            return kNotInline;
        ++_pos;
        return entry.payload;
    }
    qint64 readIntegerSlowly();
    qint32 readSharedStringSlowly();
    qint32 readCStringSlowly();
    qint32 readClassSlowly();
    ObjectHead readObjectSlowly();
    qint64 readIntegerAfterHead(qint8 head, qint64 at, const char* context);
    quint64 readWord(int size);
    qint32 readUnsharedString(qint64 at);
    qint32 readReference(Kind kind, const char* what, qint64* at);
    qint32 addEntry(Kind kind, qint32 payload);

    const char* _data;
    qint64 _size;
    qint64 _pos = 0;
    bool _bigEndian = false;
    qint64 _systemVersion = 0;
    bool _failed = false;
    QString _error;
    qint64 _errorOffset = -1;
    std::vector<std::pair<qint64, qint32>> _strings; // offset and length in the data
    std::vector<Entry> _entries;
    std::vector<ClassInfo> _classes;
    qint32 _objectCount = 0;
};

} // namespace tardigo
