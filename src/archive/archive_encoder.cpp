#include "archive/archive_encoder.h"

#include "archive/archive_decoder.h"
#include "archive/typed_stream_format.h"
#include "archive/typed_stream_reader.h"
#include "model/keys.h"

#include <QIODevice>

#include <vector>

namespace tardigo {

ArchiveEncoder::ArchiveEncoder() {
    _classNumbers.fill(-1);
    _typeStrings.fill(-1);
    _cStrings.fill(-1);
}

QByteArray ArchiveEncoder::encode(const Value& root) {
    writeRoot(root);
    return _tooDeep ? QByteArray() : _out.take();
}

QString ArchiveEncoder::encode(const Value& root, QIODevice& device) {
    _out.streamTo(&device);
    writeRoot(root);
    if (_tooDeep)
        return refusal();
    return _out.flush() ? QString() : device.errorString();
}

QString ArchiveEncoder::refusal() const {
    if (!_tooDeep)
        return {};
    return QStringLiteral("it nests objects more than %1 levels deep, which no reader would open")
        .arg(TypedStreamReader::kMaxNesting);
}

void ArchiveEncoder::writeRoot(const Value& root) {
    _out.writeHeader(typedstream::kSystemVersion);
    writeType('@');
    writeObject(root);
}

void ArchiveEncoder::writeType(char code) {
    qint32& index = _typeStrings[size_t(quint8(code) & 0x7F)];
    if (index >= 0)
        _out.writeStringReference(index);
    else
        index = _out.writeSharedString(QByteArrayView(&code, 1));
}

qint32 ArchiveEncoder::beginObject(ArchivedClass cls) {
    const qint32 number = _out.beginObject();
    _tooDeep = _tooDeep || _out.depth() > TypedStreamReader::kMaxNesting;
    qint32& classNumber = _classNumbers[size_t(cls)];
    if (classNumber >= 0) {
        _out.writeReference(classNumber);
        return number;
    }
    std::vector<TypedStreamWriter::ChainLink> chain;
    for (std::optional<ArchivedClass> c = cls; c; c = archivedClassInfo(*c).superclass)
        chain.push_back({archivedClassInfo(*c).name, archivedClassInfo(*c).version});
    classNumber = _out.writeClassChain(chain.data(), int(chain.size()));
    return number;
}

bool ArchiveEncoder::writtenBefore(const void* container, long owners, ArchivedClass cls) {
    // A container held only by its place in the tree (and by the caller's temporary copy) cannot
    // occur twice, so only the others need remembering.
    if (owners <= 2) {
        beginObject(cls);
        return false;
    }
    if (const auto it = _containers.constFind(container); it != _containers.constEnd()) {
        _out.writeReference(*it);
        return true;
    }
    _containers.insert(container, beginObject(cls));
    return false;
}

qint32 ArchiveEncoder::referToShared(const SharedBuffer& buffer) {
    const auto it = _sharedBuffers.constFind(buffer);
    if (it == _sharedBuffers.constEnd())
        return -1;
    _out.writeReference(*it);
    return *it;
}

void ArchiveEncoder::writeObject(const Value& value) {
    // Refused already: the rest is not worth writing, nor descending into.
    if (_tooDeep) {
        _out.writeNil();
        return;
    }
    switch (value.type()) {
    case Value::Type::Nil:
        _out.writeNil();
        break;
    case Value::Type::String:
        writeString(*value.asString(), value.isMutable());
        break;
    case Value::Type::Number:
        writeNumber(*value.asNumber());
        break;
    case Value::Type::Date:
        beginObject(ArchivedClass::Date);
        writeType('d');
        _out.writeReal('d', value.asDate()->seconds);
        _out.endObject();
        break;
    case Value::Type::CalendarDate:
        writeCalendarDate(*value.asCalendarDate());
        break;
    case Value::Type::TimeZone:
        writeTimeZone(*value.asTimeZone());
        break;
    case Value::Type::Data:
        writeData(*value.asData(), value.isMutable());
        break;
    case Value::Type::Array:
        writeArray(value.asArray());
        break;
    case Value::Type::Dict:
        if (const HistoryEntry* entry = value.asHistoryEntry())
            writeHistoryEntry(*entry, value.historyEntryOwners());
        else
            writeDictionary(value.asDict());
        break;
    case Value::Type::Color:
        writeColor(*value.asColor());
        break;
    case Value::Type::Null:
        beginObject(ArchivedClass::Null);
        _out.endObject();
        break;
    }
}

qint32 ArchiveEncoder::beginString(bool isMutable) {
    const qint32 number = beginObject(isMutable ? ArchivedClass::MutableString : ArchivedClass::String);
    writeType('+');
    return number;
}

qint32 ArchiveEncoder::writeString(const QString& text, bool isMutable) {
    // Only a buffer that other values hold too can come again, so only those are looked up. The
    // reader gives equal short texts one buffer whether or not they were one object, so those are
    // written as they come: merging them would gain little and change what was read.
    const bool shared = text.size() > ArchiveDecoder::kShortTextLength && !text.isDetached();
    const SharedBuffer buffer{text.constData(), text.size(),
                              isMutable ? ArchivedClass::MutableString : ArchivedClass::String};
    if (const qint32 before = shared ? referToShared(buffer) : -1; before >= 0)
        return before;
    const qint32 number = beginString(isMutable);
    _out.writeUtf8(text);
    _out.endObject();
    if (shared)
        _sharedBuffers.insert(buffer, number);
    return number;
}

void ArchiveEncoder::writeKey(const QString& key) {
    // Keys nearly always share their characters with a constant, so most are found by address
    // before anyone hashes their content.
    KeyByAddress& cached = _keysByAddress[(quintptr(key.constData()) >> 4) % _keysByAddress.size()];
    if (cached.chars == key.constData() && cached.size == key.size()) {
        _out.writeReference(cached.number);
        return;
    }
    qint32 number = 0;
    if (const auto known = _keys.constFind(key); known != _keys.constEnd()) {
        number = *known;
        _out.writeReference(number);
    } else {
        number = writeString(key, false);
        _keys.insert(key, number);
    }
    cached = {key.constData(), key.size(), number};
}

void ArchiveEncoder::writeNumber(const Number& number) {
    // A kind that no archive holds is written as a 64-bit integer rather than as an unreadable one.
    const char type = QByteArrayView("cCsSiIlLqQfd").contains(number.type) ? number.type : 'q';
    beginObject(ArchivedClass::Number);
    writeType('*');
    qint32& cString = _cStrings[size_t(quint8(type) & 0x7F)];
    if (cString >= 0)
        _out.writeReference(cString);
    else
        cString = _out.writeCString(QByteArrayView(&type, 1));
    writeType(type);
    switch (type) {
    case 'c':
        _out.writeByte(quint8(number.integer));
        break;
    case 'C':
        _out.writeByte(quint8(number.unsignedInteger));
        break;
    case 'f':
    case 'd':
        _out.writeReal(type, number.real);
        break;
    default:
        _out.writeIntegerOfType(type, number.toInt64());
    }
    _out.endObject();
}

void ArchiveEncoder::writeData(const QByteArray& bytes, bool isMutable) {
    // Notes that many items share stay one object, however large.
    const bool shared = !bytes.isEmpty() && !bytes.isDetached();
    const SharedBuffer buffer{bytes.constData(), bytes.size(),
                              isMutable ? ArchivedClass::MutableData : ArchivedClass::Data};
    if (shared && referToShared(buffer) >= 0)
        return;
    const qint32 number = beginObject(buffer.cls);
    writeType('i');
    _out.writeInteger(bytes.size());
    _out.writeSharedString("[" + QByteArray::number(bytes.size()) + "c]");
    _out.writeBytes(bytes);
    _out.endObject();
    if (shared)
        _sharedBuffers.insert(buffer, number);
}

void ArchiveEncoder::writeArray(const ArrayPtr& array) {
    if (writtenBefore(array.get(), array.use_count(),
                      array->isMutable ? ArchivedClass::MutableArray : ArchivedClass::Array))
        return;
    writeType('i');
    _out.writeInteger(array->size());
    for (const Value& item : array->items) {
        writeType('@');
        writeObject(item);
    }
    _out.endObject();
}

void ArchiveEncoder::writeDictionary(const DictPtr& dict) {
    if (writtenBefore(dict.get(), dict.use_count(),
                      dict->isMutable ? ArchivedClass::MutableDictionary : ArchivedClass::Dictionary))
        return;
    writeType('i');
    _out.writeInteger(dict->size());
    for (const auto& [key, value] : dict->entries) {
        writeType('@');
        writeKey(key);
        writeType('@');
        writeObject(value);
    }
    _out.endObject();
}

void ArchiveEncoder::writeHistoryEntry(const HistoryEntry& entry, long owners) {
    // Counted with a copy in hand, as the other containers are.
    if (writtenBefore(&entry, owners + 1, ArchivedClass::Dictionary))
        return;
    writeType('i');
    _out.writeInteger(2);
    const auto writeTimestamp = [&] {
        writeType('@');
        writeKey(key::timestamp);
        writeType('@');
        char timestamp[HistoryEntry::kTimestampLength];
        entry.timestampInto(timestamp);
        beginString(false);
        _out.writeInteger(HistoryEntry::kTimestampLength);
        _out.writeBytes(QByteArrayView(timestamp, HistoryEntry::kTimestampLength));
        _out.endObject();
    };
    const auto writeMessage = [&] {
        writeType('@');
        writeKey(key::message);
        writeType('@');
        writeString(entry.message(), false);
    };
    if (entry.messageFirst()) {
        writeMessage();
        writeTimestamp();
    } else {
        writeTimestamp();
        writeMessage();
    }
    _out.endObject();
}

void ArchiveEncoder::writeCalendarDate(const CalendarDate& date) {
    beginObject(ArchivedClass::CalendarDate);
    // Three separate groups, as the platform writes them.
    writeType('d');
    _out.writeReal('d', date.seconds);
    writeType('@');
    if (date.timeZone)
        writeTimeZone(*date.timeZone);
    else
        _out.writeNil();
    writeType('@');
    if (date.format)
        writeString(*date.format, false);
    else
        _out.writeNil();
    _out.endObject();
}

void ArchiveEncoder::writeTimeZone(const TimeZone& zone) {
    // The platform hands out one object per zone, so equal zones are written once.
    if (const auto it = _timeZones.constFind(zone.name); it != _timeZones.constEnd()) {
        _out.writeReference(*it);
        return;
    }
    _timeZones.insert(zone.name, beginObject(ArchivedClass::TimeZone));
    writeType('@');
    writeString(zone.name, false);
    _out.endObject();
}

void ArchiveEncoder::writeColor(const Color& color) {
    static const char* const componentTypes[] = {"ffff", "ffff", "ffff", "ff", "ff", "fffff"};
    const int space = color.space >= Color::CalibratedRGB && color.space <= Color::Named
                          ? color.space
                          : Color::CalibratedRGB;
    beginObject(ArchivedClass::Color);
    writeType('c');
    _out.writeByte(quint8(space));
    if (space == Color::Named) {
        _out.writeSharedString("@@@");
        writeString(color.catalog, false);
        writeString(color.name, false);
        if (color.fallback)
            writeColor(*color.fallback);
        else
            _out.writeNil();
    } else {
        const QByteArrayView types = componentTypes[space];
        _out.writeSharedString(types);
        for (qsizetype i = 0; i < types.size(); ++i)
            _out.writeReal('f', size_t(i) < color.components.size() ? color.components[size_t(i)] : 0.0f);
    }
    _out.endObject();
}

} // namespace tardigo
