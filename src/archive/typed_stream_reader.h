#pragma once

#include "archive/archive_source.h"
#include "archive/typed_stream_format.h"

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace tardigo {

/// Reads the primitives of a typed-stream archive: header, integers, reals, strings, classes and
/// object heads, with the string table and the object table. Every read is bounds-checked; the
/// first problem is kept as an error sentence with its byte offset, and every later read answers
/// a neutral value without moving. Offsets count from the archive's start, whatever part of it
/// the source holds in memory.
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
    explicit TypedStreamReader(ArchiveSource source);

    bool readHeader();
    bool isBigEndian() const { return _bigEndian; }
    qint64 systemVersion() const { return _systemVersion; }

    qint64 offset() const { return _pos; }
    /// Goes back to an offset read before, to read a primitive again; the tables stay as they are.
    void seek(qint64 offset) {
        _pos = offset;
        if (_pos < _windowStart || _pos > _windowEnd)
            _windowStart = _windowEnd = _pos; // the next read asks the source
    }
    bool atEnd() const { return _pos >= _size; }
    qint64 size() const { return _size; }
    qint64 remaining() const { return _size - _pos; }

    bool failed() const { return _failed; }
    /// True when the failure is the source's: a file that could not be read to its end.
    bool unreadable() const { return _source.failed(); }
    const QString& error() const { return _error; }
    qint64 errorOffset() const { return _errorOffset; }
    /// Keeps the first error: `what` is completed with " at byte <offset>".
    void fail(const QString& what, qint64 offset);

    quint8 readByte(const char* what);
    /// The bytes, valid until the next read.
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
    /// A string of the table; its bytes stay in place as long as the reader.
    QByteArrayView string(qint32 index) const { return _strings[size_t(index)]; }
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
    bool atObjectEnd() {
        return !_failed && (_pos < _windowEnd || moveWindow(1)) &&
               quint8(*here()) == typedstream::kEndOfObject;
    }
    bool readObjectEnd() {
        if (!atObjectEnd())
            return reportMissingEnd();
        ++_pos;
        return true;
    }

private:
    enum class Kind : quint8 { Object, Class, CString };
    /// An object-table entry in 4 bytes: an archive of a large list holds millions of them.
    class Entry {
    public:
        static constexpr quint32 kPayloadLimit = 1u << 30;
        Entry(Kind kind, quint32 payload) : _word(payload << 2 | quint32(kind)) {}
        Kind kind() const { return Kind(_word & 3); }
        /// Object index, class index or string-table index.
        qint32 payload() const { return qint32(_word >> 2); }

    private:
        quint32 _word;
    };

    static constexpr int kNotInline = -1000;

    /// Makes sure that the window holds `count` bytes from the offset on, or fails.
    bool need(qint64 count, qint64 at, const char* what) {
        return (count >= 0 && _size - _pos >= count && !_failed &&
                (_windowEnd - _pos >= count || moveWindow(count))) ||
               reportShortage(at, what);
    }
    /// Asks the source for a window holding `count` bytes from the offset on; false at the end of
    /// the archive, or after a failure of the source, which it reports.
    [[gnu::noinline]] bool moveWindow(qint64 count);
    const char* here() const { return _window + (_pos - _windowStart); }
    /// The next byte, which need() has brought into the window.
    quint8 takeByte() { return quint8(_window[_pos++ - _windowStart]); }
    bool reportShortage(qint64 at, const char* what);
    bool reportMissingEnd();
    /// The next byte as a one-byte integer, or kNotInline when it is a tag or there is none.
    int nextInline() {
        if (_failed || (_pos >= _windowEnd && !moveWindow(1)))
            return kNotInline;
        const int head = qint8(*here());
        return head >= typedstream::kSmallestInlineInteger ? head : kNotInline;
    }
    /// Consumes a one-byte reference to an object-table entry of the kind and answers its
    /// payload; answers kNotInline, consuming nothing, for anything else (the slow path decides).
    qint32 nextInlineReference(Kind kind) {
        const int small = nextInline();
        if (small == kNotInline || small + typedstream::kReferenceBase >= qint64(_entries.size()))
            return kNotInline;
        const Entry entry = _entries[size_t(small + typedstream::kReferenceBase)];
        if (entry.kind() != kind)
            return kNotInline;
        ++_pos;
        return entry.payload();
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
    qint32 addEntry(Kind kind, qint32 payload, qint64 at);
    QByteArrayView keepString(QByteArrayView bytes);

    ArchiveSource _source;
    const char* _window = nullptr; // the source's bytes from _windowStart to _windowEnd
    qint64 _windowStart = 0;
    qint64 _windowEnd = 0;
    qint64 _size;
    qint64 _pos = 0;
    bool _bigEndian = false;
    qint64 _systemVersion = 0;
    bool _failed = false;
    QString _error;
    qint64 _errorOffset = -1;
    std::vector<QByteArrayView> _strings; // in _stringBlocks, which never move
    std::vector<std::unique_ptr<char[]>> _stringBlocks;
    qint64 _stringBlockLeft = 0;
    std::vector<Entry> _entries;
    std::vector<ClassInfo> _classes;
    qint32 _objectCount = 0;
};

} // namespace tardigo
