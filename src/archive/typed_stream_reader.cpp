#include "archive/typed_stream_reader.h"

#include "archive/typed_stream_format.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tardigo {

using namespace typedstream;

namespace {

QString tagName(quint8 byte) {
    return QString::asprintf("0x%02X", byte);
}

bool isReservedTag(qint8 head) {
    return head == -128 || (head >= -120 && head <= -111);
}

const char* kindNoun(int kind) {
    static const char* const nouns[] = {"an object", "a class", "a C string"};
    return nouns[kind];
}

// The string table keeps its texts in blocks of this size, or one of its own for a longer text.
constexpr qint64 kStringBlockSize = 16384;

} // namespace

TypedStreamReader::TypedStreamReader(QByteArrayView bytes) : TypedStreamReader(ArchiveSource(bytes)) {}

TypedStreamReader::TypedStreamReader(ArchiveSource source)
    : _source(std::move(source)), _size(_source.size()) {}

bool TypedStreamReader::moveWindow(qint64 count) {
    if (_failed || count > _size - _pos)
        return false;
    const ArchiveSource::Window window = _source.windowAt(_pos, count);
    if (!window.bytes) {
        fail(_source.error(), _source.errorOffset());
        return false;
    }
    _window = window.bytes;
    _windowStart = window.start;
    _windowEnd = window.end;
    return true;
}

void TypedStreamReader::fail(const QString& what, qint64 offset) {
    if (_failed)
        return;
    _failed = true;
    _error = what + QStringLiteral(" at byte ") + QString::number(offset);
    _errorOffset = offset;
}

bool TypedStreamReader::reportShortage(qint64 at, const char* what) {
    fail(QStringLiteral("the data ends in the middle of %1").arg(QLatin1String(what)), at);
    return false;
}

bool TypedStreamReader::readHeader() {
    if (_size >= std::numeric_limits<qint32>::max()) {
        fail(QStringLiteral("it is too large to be an archive (2 GiB or more)"), 0);
        return false;
    }
    // Objects, classes and C strings take a few bytes each: reserving spares the copies of a huge
    // table, and pages never touched cost no memory.
    _entries.reserve(size_t(_size / 16));
    if (!need(2 + kSignatureLength, 0, "the header"))
        return false;
    const char* header = here();
    const QByteArrayView signature(header + 2, kSignatureLength);
    const bool little = signature == QByteArrayView(kLittleEndianSignature);
    const bool big = signature == QByteArrayView(kBigEndianSignature);
    if (quint8(header[1]) != kSignatureLength || (!little && !big)) {
        fail(QStringLiteral("it is not a typed-stream archive (it lacks the “streamtyped” or “typedstream” "
                            "signature)"),
             1);
        return false;
    }
    const quint8 version = quint8(header[0]);
    if (version == kNeXTStreamerVersion) {
        fail(QStringLiteral("it is an old NeXTSTEP archive (streamer version 3), which cannot be read"), 0);
        return false;
    }
    if (version != kStreamerVersion) {
        fail(QStringLiteral("it has the unknown streamer version %1").arg(version), 0);
        return false;
    }
    _bigEndian = big;
    _pos = 2 + kSignatureLength;
    _systemVersion = readInteger();
    return !failed();
}

quint8 TypedStreamReader::readByte(const char* what) {
    if (!need(1, _pos, what))
        return 0;
    return takeByte();
}

QByteArrayView TypedStreamReader::readBytes(qint64 count, const char* what) {
    if (!need(count, _pos, what))
        return {};
    const QByteArrayView bytes(here(), count);
    _pos += count;
    return bytes;
}

bool TypedStreamReader::checkCount(qint64 count, qint64 minBytes, qint64 at, const char* noun) {
    if (failed())
        return false;
    if (count < 0) {
        fail(QStringLiteral("it holds the negative %1 %2").arg(QLatin1String(noun)).arg(count), at);
        return false;
    }
    if (count > remaining() / minBytes) {
        fail(QStringLiteral("it holds a %1 of %2, more than the %3 bytes left can hold")
                 .arg(QLatin1String(noun))
                 .arg(count)
                 .arg(remaining()),
             at);
        return false;
    }
    return true;
}

quint64 TypedStreamReader::readWord(int size) {
    const auto* p = reinterpret_cast<const unsigned char*>(here());
    quint64 word = 0;
    for (int i = 0; i < size; ++i)
        word |= quint64(p[_bigEndian ? size - 1 - i : i]) << (8 * i);
    _pos += size;
    return word;
}

qint64 TypedStreamReader::readIntegerAfterHead(qint8 head, qint64 at, const char* context) {
    switch (quint8(head)) {
    case kInt16:
        return need(2, at, context) ? qint64(qint16(readWord(2))) : 0;
    case kInt32:
        return need(4, at, context) ? qint64(qint32(readWord(4))) : 0;
    case kInt64:
        return need(8, at, context) ? qint64(readWord(8)) : 0;
    default:
        break;
    }
    if (head >= kSmallestInlineInteger)
        return head;
    if (isReservedTag(head))
        fail(QStringLiteral("it holds the reserved tag byte %1").arg(tagName(quint8(head))), at);
    else
        fail(QStringLiteral("it holds the tag byte %1 where %2 belongs")
                 .arg(tagName(quint8(head)), QLatin1String(context)),
             at);
    return 0;
}

qint64 TypedStreamReader::readIntegerSlowly() {
    const qint64 at = _pos;
    if (!need(1, at, "an integer"))
        return 0;
    return readIntegerAfterHead(qint8(takeByte()), at, "an integer");
}

double TypedStreamReader::readReal(char code) {
    const qint64 at = _pos;
    if (!need(1, at, "a real number"))
        return 0;
    const quint8 head = takeByte();
    if (head != kReal) {
        const qint64 integer = readIntegerAfterHead(qint8(head), at, "a real number");
        return code == 'f' ? double(float(integer)) : double(integer);
    }
    if (code == 'f') {
        if (!need(4, at, "a real number"))
            return 0;
        const auto bits = quint32(readWord(4));
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    if (!need(8, at, "a real number"))
        return 0;
    const quint64 bits = readWord(8);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

qint64 TypedStreamReader::signedOfType(char code, qint64 raw) {
    switch (code) {
    case 's':
        return qint16(raw);
    case 'i':
    case 'l':
        return qint32(raw);
    default:
        return raw;
    }
}

quint64 TypedStreamReader::unsignedOfType(char code, qint64 raw) {
    switch (code) {
    case 'S':
        return quint16(raw);
    case 'I':
    case 'L':
        return quint32(raw);
    default:
        return quint64(raw);
    }
}

qint32 TypedStreamReader::readUnsharedString(qint64 at) {
    const qint64 lengthAt = _pos;
    const qint64 length = readInteger();
    if (failed())
        return -1;
    if (length < 0) {
        fail(QStringLiteral("it holds a string of the negative length %1").arg(length), lengthAt);
        return -1;
    }
    if (!need(length, at, "a string"))
        return -1;
    _strings.push_back(keepString(QByteArrayView(here(), length)));
    _pos += length;
    return qint32(_strings.size() - 1);
}

QByteArrayView TypedStreamReader::keepString(QByteArrayView bytes) {
    // The window moves on, so the table keeps its own copy, where it stays for later views.
    char* block;
    if (bytes.size() > kStringBlockSize) {
        block =
            _stringBlocks.emplace_back(std::make_unique_for_overwrite<char[]>(size_t(bytes.size()))).get();
    } else {
        if (_stringBlocks.empty() || bytes.size() > _stringBlockLeft) {
            _stringBlocks.push_back(std::make_unique_for_overwrite<char[]>(size_t(kStringBlockSize)));
            _stringBlockLeft = kStringBlockSize;
        }
        block = _stringBlocks.back().get() + (kStringBlockSize - _stringBlockLeft);
        _stringBlockLeft -= bytes.size();
    }
    std::copy(bytes.begin(), bytes.end(), block);
    return QByteArrayView(block, bytes.size());
}

qint32 TypedStreamReader::readSharedStringSlowly() {
    const qint64 at = _pos;
    if (!need(1, at, "a string"))
        return -1;
    const qint8 head = qint8(takeByte());
    if (quint8(head) == kNil)
        return -1;
    if (quint8(head) == kNew)
        return readUnsharedString(at);
    const qint64 n = readIntegerAfterHead(head, at, "a string");
    if (failed())
        return -1;
    const auto count = qint64(_strings.size());
    if (n < -kReferenceBase || n >= count - kReferenceBase) {
        fail(QStringLiteral("it refers to string-table entry %1, beyond the %2 entries read so far")
                 .arg(n + kReferenceBase)
                 .arg(count),
             at);
        return -1;
    }
    return qint32(n + kReferenceBase);
}

qint32 TypedStreamReader::readReference(Kind kind, const char* what, qint64* at) {
    *at = _pos;
    if (!need(1, *at, what))
        return -1;
    const qint8 head = qint8(takeByte());
    if (quint8(head) == kNil)
        return -1;
    if (quint8(head) == kNew)
        return std::numeric_limits<qint32>::max();
    const qint64 n = readIntegerAfterHead(head, *at, what);
    if (failed())
        return -1;
    const auto count = qint64(_entries.size());
    if (n < -kReferenceBase || n >= count - kReferenceBase) {
        fail(QStringLiteral("it refers to object-table entry %1, beyond the %2 entries read so far")
                 .arg(n + kReferenceBase)
                 .arg(count),
             *at);
        return -1;
    }
    const Entry entry = _entries[size_t(n + kReferenceBase)];
    if (entry.kind() != kind) {
        fail(QStringLiteral("it refers to %1 where %2 belongs")
                 .arg(QLatin1String(kindNoun(int(entry.kind()))), QLatin1String(kindNoun(int(kind)))),
             *at);
        return -1;
    }
    return entry.payload();
}

qint32 TypedStreamReader::addEntry(Kind kind, qint32 payload, qint64 at) {
    if (_entries.size() >= Entry::kPayloadLimit) {
        fail(QStringLiteral("it holds more than %1 objects, classes and C strings").arg(Entry::kPayloadLimit),
             at);
        return -1;
    }
    _entries.emplace_back(kind, quint32(payload));
    return qint32(_entries.size() - 1);
}

qint32 TypedStreamReader::readCStringSlowly() {
    qint64 at = 0;
    const qint32 target = readReference(Kind::CString, "a C string", &at);
    if (target != std::numeric_limits<qint32>::max())
        return target;
    const qint32 entry = addEntry(Kind::CString, 0, at);
    const qint32 text = readSharedString();
    if (text < 0) {
        fail(QStringLiteral("it holds a C string without text"), at);
        return -1;
    }
    _entries[size_t(entry)] = Entry(Kind::CString, quint32(text));
    return text;
}

qint32 TypedStreamReader::readClassSlowly() {
    const auto chainStart = qint32(_classes.size());
    qint32 first = -1;
    qint32 previous = -1;
    for (;;) {
        qint64 at = 0;
        qint32 cls = readReference(Kind::Class, "a class", &at);
        const bool isNew = cls == std::numeric_limits<qint32>::max();
        if (isNew) {
            cls = qint32(_classes.size());
            if (addEntry(Kind::Class, cls, at) < 0)
                return -1;
            _classes.push_back({});
            const qint32 name = readSharedString();
            const qint64 version = readInteger();
            if (failed())
                return -1;
            if (name < 0) {
                fail(QStringLiteral("it holds a class without a name"), at);
                return -1;
            }
            _classes[size_t(cls)].name = name;
            _classes[size_t(cls)].version = version;
        } else if (cls >= chainStart) {
            // Classes of this chain are incomplete until it ends.
            fail(QStringLiteral("it holds a class chain that refers back into itself"), at);
        }
        if (failed())
            return -1;
        if (previous >= 0)
            _classes[size_t(previous)].superclass = cls;
        else
            first = cls;
        if (!isNew)
            return first;
        previous = cls;
    }
}

std::optional<qint64> TypedStreamReader::versionForClassName(QByteArrayView name) const {
    for (const ClassInfo& info : _classes)
        if (info.name >= 0 && string(info.name) == name)
            return info.version;
    return std::nullopt;
}

TypedStreamReader::ObjectHead TypedStreamReader::readObjectSlowly() {
    qint64 at = 0;
    const qint32 target = readReference(Kind::Object, "an object", &at);
    if (failed())
        return {};
    if (target == std::numeric_limits<qint32>::max()) {
        const qint32 object = _objectCount++;
        if (addEntry(Kind::Object, object, at) < 0)
            return {};
        return {Head::New, object};
    }
    return target < 0 ? ObjectHead{} : ObjectHead{Head::Reference, target};
}

bool TypedStreamReader::reportMissingEnd() {
    if (need(1, _pos, "an object"))
        fail(QStringLiteral("an object does not end where it should"), _pos);
    return false;
}

} // namespace tardigo
