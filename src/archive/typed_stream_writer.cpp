#include "archive/typed_stream_writer.h"

#include "archive/typed_stream_format.h"
#include "platform/atomic_file.h"

#include <cstring>

namespace tardigo {

using namespace typedstream;

TypedStreamWriter::TypedStreamWriter(bool bigEndian) : _bigEndian(bigEndian) {}

void TypedStreamWriter::writeHeader(qint64 systemVersion) {
    writeByte(kStreamerVersion);
    writeByte(kSignatureLength);
    writeBytes(_bigEndian ? kBigEndianSignature : kLittleEndianSignature);
    writeInteger(systemVersion);
}

void TypedStreamWriter::writeWord(quint64 word, int size) {
    for (int i = 0; i < size; ++i)
        writeByte(quint8(word >> (8 * (_bigEndian ? size - 1 - i : i))));
}

void TypedStreamWriter::writeInteger(qint64 value) {
    if (value >= kSmallestInlineInteger && value <= 127) {
        writeByte(quint8(value));
    } else if (value >= -32768 && value <= 32767) {
        writeByte(kInt16);
        writeWord(quint64(value), 2);
    } else if (value >= -2147483648LL && value <= 2147483647LL) {
        writeByte(kInt32);
        writeWord(quint64(value), 4);
    } else {
        writeByte(kInt64);
        writeWord(quint64(value), 8);
    }
}

void TypedStreamWriter::writeIntegerOfType(char code, qint64 value) {
    switch (code) {
    case 's':
    case 'S':
        writeInteger(qint16(value));
        break;
    case 'i':
    case 'I':
    case 'l':
    case 'L':
        writeInteger(qint32(value));
        break;
    default:
        writeInteger(value);
    }
}

void TypedStreamWriter::writeReal(char code, double value) {
    // The platform's rule: an integral value that survives the trip through float and int32 is
    // written as that integer. NaN fails every comparison and stays a real.
    if (value >= -2147483648.0 && value < 2147483648.0) {
        const double viaFloat = double(float(value));
        if (viaFloat >= -2147483648.0 && viaFloat < 2147483648.0) {
            const auto k = qint32(viaFloat);
            if (double(k) == value) {
                writeInteger(k);
                return;
            }
        }
    }
    writeByte(kReal);
    if (code == 'f') {
        const float f = float(value);
        quint32 bits;
        std::memcpy(&bits, &f, sizeof bits);
        writeWord(bits, 4);
    } else {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        writeWord(bits, 8);
    }
}

void TypedStreamWriter::writeUtf8(QStringView text) {
    const auto* chars = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype count = text.size();
    const auto isPair = [&](qsizetype i) {
        return QChar::isHighSurrogate(chars[i]) && i + 1 < count && QChar::isLowSurrogate(chars[i + 1]);
    };
    qint64 length = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = chars[i];
        if (c < 0x80 || QChar::isSurrogate(c))
            length += isPair(i) ? (++i, 4) : 1;
        else
            length += c < 0x800 ? 2 : 3;
    }
    writeInteger(length);
    for (qsizetype i = 0; i < count; ++i) {
        const char16_t c = chars[i];
        if (c < 0x80) {
            writeByte(quint8(c));
        } else if (c < 0x800) {
            writeByte(quint8(0xC0 | (c >> 6)));
            writeByte(quint8(0x80 | (c & 0x3F)));
        } else if (isPair(i)) {
            const char32_t u = QChar::surrogateToUcs4(c, chars[++i]);
            writeByte(quint8(0xF0 | (u >> 18)));
            writeByte(quint8(0x80 | ((u >> 12) & 0x3F)));
            writeByte(quint8(0x80 | ((u >> 6) & 0x3F)));
            writeByte(quint8(0x80 | (u & 0x3F)));
        } else if (QChar::isSurrogate(c)) {
            writeByte('?');
        } else {
            writeByte(quint8(0xE0 | (c >> 12)));
            writeByte(quint8(0x80 | ((c >> 6) & 0x3F)));
            writeByte(quint8(0x80 | (c & 0x3F)));
        }
    }
}

void TypedStreamWriter::writeNil() {
    writeByte(kNil);
}

qint32 TypedStreamWriter::writeSharedString(QByteArrayView text) {
    const QByteArray key = text.toByteArray();
    if (const auto it = _strings.constFind(key); it != _strings.constEnd()) {
        writeStringReference(*it);
        return *it;
    }
    const auto index = qint32(_strings.size());
    _strings.insert(key, index);
    writeByte(kNew);
    writeInteger(text.size());
    writeBytes(text);
    return index;
}

qint32 TypedStreamWriter::writeCString(QByteArrayView text) {
    const QByteArray key = text.toByteArray();
    if (const auto it = _cStrings.constFind(key); it != _cStrings.constEnd()) {
        writeReference(*it);
        return *it;
    }
    const qint32 number = newEntry();
    _cStrings.insert(key, number);
    writeSharedString(text);
    return number;
}

qint32 TypedStreamWriter::writeClassChain(const ChainLink* chain, int length) {
    qint32 first = -1;
    for (int i = 0; i < length; ++i) {
        const QByteArray name = chain[i].name.toByteArray();
        if (const auto it = _classes.constFind(name); it != _classes.constEnd()) {
            writeReference(*it);
            return first < 0 ? *it : first;
        }
        const qint32 number = writeNewClass(name, chain[i].version);
        _classes.insert(name, number);
        if (first < 0)
            first = number;
    }
    writeNil();
    return first;
}

qint32 TypedStreamWriter::writeNewClass(QByteArrayView name, qint64 version) {
    const qint32 number = newEntry();
    writeSharedString(name);
    writeInteger(version);
    return number;
}

qint32 TypedStreamWriter::newEntry() {
    writeByte(kNew);
    return _nextNumber++;
}

qint32 TypedStreamWriter::beginObject() {
    ++_depth;
    return newEntry();
}

void TypedStreamWriter::writeReference(qint32 number) {
    writeInteger(qint64(number) - kReferenceBase);
}

void TypedStreamWriter::writeStringReference(qint32 index) {
    writeInteger(qint64(index) - kReferenceBase);
}

void TypedStreamWriter::endObject() {
    --_depth;
    writeByte(kEndOfObject);
    if (_device && _out.size() >= kChunkSize)
        flush();
}

bool TypedStreamWriter::flush() {
    // After a failed write the rest is dropped: the file is given up, and memory stays bounded.
    if (!_deviceFailed)
        _deviceFailed = !writeAll(*_device, QByteArrayView(_out.data(), qsizetype(_out.size())));
    _out.clear();
    return !_deviceFailed;
}

} // namespace tardigo
