#include "archive/archive_decoder.h"

#include "model/keys.h"

#include <QHash>
#include <QScopeGuard>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <utility>

namespace tardigo {

namespace {

constexpr QByteArrayView kNumberCodes = "cCsSiIlLqQfd";
// Small dictionaries are checked for repeated keys by a scan, larger ones through a hash.
constexpr qsizetype kLinearKeyScan = 16;
// Short texts are shared, the first ones met of up to as many as the table has half its places:
// at most kShortTextPlaces, fewer for a small archive (a minder pass reads hundreds of lists).
constexpr size_t kShortTextPlaces = 8192;
constexpr qint64 kArchiveBytesPerShortTextPlace = 256;

bool isNumberCode(char code) {
    return kNumberCodes.contains(code);
}

QString quoted(QByteArrayView text) {
    return QStringLiteral("“%1”").arg(QString::fromUtf8(text));
}

/// A dictionary of two strings expands to itself, two keys and two texts.
constexpr quint64 kHistoryEntryWeight = 5;

} // namespace

ArchiveDecoder::ArchiveDecoder(ArchiveSource source, const ClassDecoderRegistry* registry)
    : _in(std::move(source)), _registry(registry),
      // Back-references may share objects, but an archive that would expand to far more values
      // than it has bytes is an attack on whoever walks the tree.
      _weightLimit(std::min<quint64>(2 * quint64(_in.size()) + (1 << 20), 0xFFFFFFF0u)) {}

ArchiveDecodeResult ArchiveDecoder::decode() {
    ArchiveDecodeResult result;
    if (_in.readHeader()) {
        // Most objects take well over 16 bytes, and a container well over 32; reserving spares the
        // copies of huge tables, and pages never touched cost no memory. The header has refused
        // a size that no archive has.
        _slots.reserve(size_t(_in.remaining() / 16));
        _arrays.reserve(size_t(_in.remaining() / 64));
        _dicts.reserve(size_t(_in.remaining() / 32));
        _historyEntries.reserve(size_t(_in.remaining() / 64));
        const qint64 at = _in.offset();
        const qint32 type = _in.readSharedString();
        if (!_in.failed() && (type < 0 || _in.string(type) != "@"))
            _in.fail(QStringLiteral("it does not start with an object"), at);
        quint64 weight = 0;
        readObject(result.root, &weight);
        if (_in.failed())
            result.root = Value();
    }
    result.error = _in.error();
    result.errorOffset = _in.errorOffset();
    result.unreadable = _in.unreadable();
    result.rootClassName = _rootClassName;
    return result;
}

std::optional<qint64> ArchiveDecoder::versionForClassName(QByteArrayView name) const {
    return _in.versionForClassName(name);
}

void ArchiveDecoder::fail(const QString& what) {
    _in.fail(what, _in.offset());
}

std::vector<Value> ArchiveDecoder::decodeGroup(QByteArrayView typeString) {
    quint64 weight = 0;
    std::vector<Value> values = readGroupValues(typeString, _customClass, &weight);
    addWeight(&_customWeight, weight);
    return values;
}

void ArchiveDecoder::report(Problem problem, qint64 at, qint32 cls) {
    // Kept out of the recursive readers so that their frames stay small on deeply nested input.
    QString what;
    switch (problem) {
    case Problem::ContainsItself:
        what = QStringLiteral("it holds an object that contains itself");
        break;
    case Problem::KeyNotString:
        what = QStringLiteral("it holds a dictionary key that is not a string");
        break;
    case Problem::NoClass:
        what = QStringLiteral("it holds an object without a class");
        break;
    case Problem::TooDeep:
        what =
            QStringLiteral("it nests objects more than %1 levels deep").arg(TypedStreamReader::kMaxNesting);
        break;
    case Problem::TooExpanded:
        what = QStringLiteral(
                   "it refers back to its objects so often that it would expand to more than %1 values")
                   .arg(_weightLimit);
        break;
    case Problem::UnknownClass:
        what = QStringLiteral("it holds an object of the unknown class %1").arg(quoted(_in.className(cls)));
        break;
    case Problem::PlainObject:
        what = QStringLiteral("it holds a plain NSObject, which stands for no value");
        break;
    case Problem::NilElement:
        what = QStringLiteral("it holds an array element that is nil");
        break;
    case Problem::NilValue:
        what = QStringLiteral("it holds a dictionary value that is nil");
        break;
    }
    _in.fail(what, at);
}

QString ArchiveDecoder::className(qint32 cls) const {
    return cls < 0 ? QStringLiteral("the archive") : QString::fromUtf8(_in.className(cls));
}

void ArchiveDecoder::addWeight(quint64* total, quint64 weight) const {
    *total = std::min(*total + weight, _weightLimit + 1);
}

const ArchiveDecoder::ClassKind& ArchiveDecoder::kindOf(qint32 cls) {
    if (size_t(cls) < _kinds.size() && _kinds[size_t(cls)].kind != Kind::Unresolved)
        return _kinds[size_t(cls)];
    if (size_t(cls) >= _kinds.size())
        _kinds.resize(size_t(cls) + 1);
    ClassKind& kind = _kinds[size_t(cls)];
    if (kind.kind == Kind::Unresolved) {
        const QByteArrayView name = _in.className(cls);
        if (const auto known = archivedClassNamed(name)) {
            kind.kind = Kind::Known;
            kind.known = *known;
        } else if (_registry && (kind.decoder = _registry->find(name))) {
            kind.kind = Kind::Custom;
        } else {
            kind.kind = Kind::Unknown;
        }
    }
    return kind;
}

bool ArchiveDecoder::expectGroup(char code, qint32 cls) {
    const qint64 at = _in.offset();
    const qint32 type = _in.readSharedString();
    if (type >= 0 && size_t(type) < _codes.size() && _codes[size_t(type)] == code)
        return true;
    return checkGroupType(type, at, QByteArrayView(&code, 1), cls);
}

bool ArchiveDecoder::expectGroup(QByteArrayView expected, qint32 cls) {
    const qint64 at = _in.offset();
    return checkGroupType(_in.readSharedString(), at, expected, cls);
}

bool ArchiveDecoder::checkGroupType(qint32 type, qint64 at, QByteArrayView expected, qint32 cls) {
    if (_in.failed())
        return false;
    if (type >= 0 && _in.string(type) == expected) {
        if (expected.size() == 1) {
            if (size_t(type) >= _codes.size())
                _codes.resize(size_t(type) + 1);
            _codes[size_t(type)] = expected.front();
        }
        return true;
    }
    _in.fail(QStringLiteral("it holds a group of type %1 where %2 expects %3")
                 .arg(type < 0 ? QStringLiteral("NULL") : quoted(_in.string(type)), className(cls),
                      quoted(expected)),
             at);
    return false;
}

void ArchiveDecoder::readObject(Value& out, quint64* weight, Place place) {
    *weight = 1;
    const qint64 at = _in.offset();
    const TypedStreamReader::ObjectHead head = _in.readObject();
    switch (head.head) {
    case TypedStreamReader::Head::Nil:
        return;
    case TypedStreamReader::Head::New:
        readNewObject(head.object, at, out, weight, place);
        return;
    case TypedStreamReader::Head::Reference:
        break;
    }
    ObjectSlot& slot = _slots[size_t(head.object)];
    if (slot.isPending()) {
        // A value tree cannot hold itself.
        report(Problem::ContainsItself, at);
        return;
    }
    // An entry met again outside a history becomes the dictionary it stands for, for good.
    if (slot.kind == ObjectSlot::Kind::HistoryEntry && place != Place::HistoryEntry)
        slot = hold(_historyEntries[slot.payload].asDict(), kHistoryEntryWeight);
    out = valueOf(slot, weight);
}

template <typename Read> auto ArchiveDecoder::readAgainAt(quint32 offset, Read read) {
    const qint64 resume = _in.offset();
    _in.seek(offset);
    auto value = read();
    _in.seek(resume);
    return value;
}

const QString* ArchiveDecoder::textOf(ObjectSlot& slot) {
    using Slot = ObjectSlot::Kind;
    if (slot.kind == Slot::String || slot.kind == Slot::MutableString) {
        _texts.push_back(readAgainAt(slot.payload, [this] { return readText(); }));
        slot.kind = slot.kind == Slot::String ? Slot::Text : Slot::MutableText;
        slot.payload = quint32(_texts.size() - 1);
    }
    if (slot.kind == Slot::Text || slot.kind == Slot::MutableText)
        return &_texts[slot.payload];
    if (slot.kind == Slot::Other)
        return _others[slot.payload].first.asString();
    return nullptr;
}

Value ArchiveDecoder::valueOf(ObjectSlot& slot, quint64* weight) {
    using Slot = ObjectSlot::Kind;
    *weight = 1;
    switch (slot.kind) {
    case Slot::String:
    case Slot::MutableString:
    case Slot::Text:
    case Slot::MutableText: {
        const QString* text = textOf(slot);
        return Value(*text, slot.kind == Slot::MutableText);
    }
    case Slot::Number:
    case Slot::Date:
        return readAgainAndHold(slot);
    case Slot::Array:
        *weight = _arrays[slot.payload].second;
        return _arrays[slot.payload].first;
    case Slot::Dict:
        *weight = _dicts[slot.payload].second;
        return _dicts[slot.payload].first;
    case Slot::Other:
        *weight = _others[slot.payload].second;
        return _others[slot.payload].first;
    case Slot::HistoryEntry:
        *weight = kHistoryEntryWeight;
        return _historyEntries[slot.payload];
    case Slot::Pending:
        break;
    }
    return {};
}

Value ArchiveDecoder::readAgainAndHold(ObjectSlot& slot) {
    const Value value = slot.kind == ObjectSlot::Kind::Number
                            ? Value(readAgainAt(slot.payload, [&] { return readScalar(slot.code); }))
                            : Value(Date{readAgainAt(slot.payload, [&] { return _in.readReal('d'); })});
    slot = hold(value, 1);
    return value;
}

ObjectSlot ArchiveDecoder::hold(const Value& value, quint64 weight) {
    using Slot = ObjectSlot::Kind;
    if (ArrayPtr array = value.asArray()) {
        _arrays.emplace_back(std::move(array), quint32(weight));
        return {Slot::Array, 0, quint32(_arrays.size() - 1)};
    }
    if (value.asHistoryEntry()) {
        _historyEntries.push_back(value);
        return {Slot::HistoryEntry, 0, quint32(_historyEntries.size() - 1)};
    }
    if (DictPtr dict = value.asDict()) {
        _dicts.emplace_back(std::move(dict), quint32(weight));
        return {Slot::Dict, 0, quint32(_dicts.size() - 1)};
    }
    _others.emplace_back(value, quint32(weight));
    return {Slot::Other, 0, quint32(_others.size() - 1)};
}

bool ArchiveDecoder::readKey(QString& out, quint64* weight) {
    const qint64 at = _in.offset();
    const TypedStreamReader::ObjectHead head = _in.readObject();
    *weight = 1;
    const QString* text = nullptr;
    Value key;
    if (head.head == TypedStreamReader::Head::Reference && !_slots[size_t(head.object)].isPending()) {
        text = textOf(_slots[size_t(head.object)]);
    } else if (head.head == TypedStreamReader::Head::New) {
        readNewObject(head.object, at, key, weight, Place::Any);
        text = key.asString();
    } else if (head.head == TypedStreamReader::Head::Reference) {
        report(Problem::ContainsItself, at);
    }
    if (_in.failed())
        return false;
    if (!text) {
        report(Problem::KeyNotString, at);
        return false;
    }
    out = *text;
    return true;
}

void ArchiveDecoder::readNewObject(qint32 object, qint64 at, Value& out, quint64* weight, Place place) {
    _slots.emplace_back();
    _place = place;
    if (++_depth > TypedStreamReader::kMaxNesting) {
        report(Problem::TooDeep, at);
        return;
    }
    const qint32 cls = _in.readClass();
    if (cls < 0 && !_in.failed())
        report(Problem::NoClass, at);
    if (_in.failed())
        return;
    if (object == 0)
        _rootClassName = _in.className(cls).toByteArray();
    ObjectSlot slot = readContent(cls, at, out, weight);
    _in.readObjectEnd();
    --_depth;
    if (_in.failed())
        return;
    if (*weight > _weightLimit) {
        report(Problem::TooExpanded, at);
        return;
    }
    _slots[size_t(object)] = slot.isPending() ? hold(out, *weight) : slot;
}

ObjectSlot ArchiveDecoder::readContent(qint32 cls, qint64 at, Value& out, quint64* weight) {
    const ClassKind& kind = kindOf(cls);
    switch (kind.kind) {
    case Kind::Known:
        return readKnown(kind.known, cls, at, out, weight);
    case Kind::Custom: {
        const qint32 outerClass = std::exchange(_customClass, cls);
        const quint64 outerWeight = std::exchange(_customWeight, 1);
        out = (*kind.decoder)(*this);
        *weight = _customWeight;
        _customClass = outerClass;
        _customWeight = outerWeight;
        return {};
    }
    case Kind::Unresolved:
    case Kind::Unknown:
        break;
    }
    report(Problem::UnknownClass, at, cls);
    return {};
}

ObjectSlot ArchiveDecoder::readKnown(ArchivedClass known, qint32 cls, qint64 at, Value& out,
                                     quint64* weight) {
    switch (known) {
    case ArchivedClass::String:
    case ArchivedClass::MutableString:
        return readString(cls, known == ArchivedClass::MutableString, out);
    case ArchivedClass::Number:
    case ArchivedClass::Value:
        return readNumber(cls, out);
    case ArchivedClass::Data:
    case ArchivedClass::MutableData:
        readData(cls, known == ArchivedClass::MutableData, out);
        return {};
    case ArchivedClass::Array:
    case ArchivedClass::MutableArray:
        readArray(cls, known == ArchivedClass::MutableArray, out, weight);
        return {};
    case ArchivedClass::Dictionary:
    case ArchivedClass::MutableDictionary:
        readDictionary(cls, known == ArchivedClass::MutableDictionary, out, weight);
        return {};
    case ArchivedClass::Date: {
        if (!expectGroup('d', cls))
            return {};
        const auto offset = quint32(_in.offset());
        out = Date{_in.readReal('d')};
        return {ObjectSlot::Kind::Date, 'd', offset};
    }
    case ArchivedClass::CalendarDate:
        readCalendarDate(cls, out, weight);
        return {};
    case ArchivedClass::TimeZone:
        readTimeZone(cls, out, weight);
        return {};
    case ArchivedClass::Color:
        readColor(cls, out, weight);
        return {};
    case ArchivedClass::Null:
        out = Null{};
        return {};
    case ArchivedClass::Object:
        break;
    }
    report(Problem::PlainObject, at);
    return {};
}

std::vector<Value> ArchiveDecoder::readGroupValues(QByteArrayView typeString, qint32 cls, quint64* weight) {
    std::vector<Value> values;
    const qint64 at = _in.offset();
    if (!expectGroup(typeString, cls))
        return values;
    values.reserve(size_t(typeString.size()));
    for (const char code : typeString) {
        if (code == '@') {
            quint64 objectWeight = 0;
            readObject(values.emplace_back(), &objectWeight);
            addWeight(weight, objectWeight);
        } else if (isNumberCode(code)) {
            values.push_back(readScalar(code));
            addWeight(weight, 1);
        } else {
            _in.fail(QStringLiteral("%1 cannot be read as a group of type %2")
                         .arg(className(cls), quoted(typeString)),
                     at);
        }
        if (_in.failed())
            return {};
    }
    return values;
}

Number ArchiveDecoder::readScalar(char code) {
    switch (code) {
    case 'c':
        return Number::ofType(code, qint8(_in.readByte("a character")), 0, 0);
    case 'C':
        return Number::ofType(code, 0, _in.readByte("a character"), 0);
    case 'f':
    case 'd':
        return Number::ofType(code, 0, 0, _in.readReal(code));
    default:
        break;
    }
    const qint64 raw = _in.readInteger();
    return Number::ofType(code, TypedStreamReader::signedOfType(code, raw),
                          TypedStreamReader::unsignedOfType(code, raw), 0);
}

QString ArchiveDecoder::readText() {
    const qint64 at = _in.offset();
    const qint64 length = _in.readInteger();
    if (!_in.checkCount(length, 1, at, "length"))
        return {};
    const QByteArrayView utf8 = _in.readBytes(length, "a string");
    if (utf8.isEmpty() || utf8.size() > kShortTextLength)
        return QString::fromUtf8(utf8);
    if (_shortTexts.empty())
        _shortTexts.resize(std::clamp(std::bit_ceil(size_t(_in.size() / kArchiveBytesPerShortTextPlace)),
                                      size_t(64), kShortTextPlaces));
    const size_t mask = _shortTexts.size() - 1;
    const std::string_view key(utf8.data(), size_t(utf8.size()));
    size_t i = std::hash<std::string_view>()(key) & mask;
    for (; _shortTexts[i].length; i = (i + 1) & mask)
        if (std::string_view(_shortTexts[i].utf8.data(), _shortTexts[i].length) == key)
            return _shortTexts[i].text;
    QString text = QString::fromUtf8(utf8);
    if (2 * _shortTextCount < _shortTexts.size()) {
        ShortText& place = _shortTexts[i];
        std::copy(key.begin(), key.end(), place.utf8.begin());
        place.length = quint8(key.size());
        place.text = text;
        ++_shortTextCount;
    }
    return text;
}

ObjectSlot ArchiveDecoder::readString(qint32 cls, bool isMutable, Value& out) {
    if (!expectGroup('+', cls))
        return {};
    const auto offset = quint32(_in.offset());
    const QString text = readText();
    if (_in.failed())
        return {};
    out = Value(text, isMutable);
    // A long text referred to again shares this very buffer, so that it is written back as one
    // object; short ones are read again when needed, which costs less than keeping every one.
    if (text.size() <= kShortTextLength)
        return {isMutable ? ObjectSlot::Kind::MutableString : ObjectSlot::Kind::String, 0, offset};
    if (_inHistoryEntry)
        _entryTexts.push_back({quint32(_texts.size()), offset});
    _texts.push_back(text);
    return {isMutable ? ObjectSlot::Kind::MutableText : ObjectSlot::Kind::Text, 0,
            quint32(_texts.size() - 1)};
}

ObjectSlot ArchiveDecoder::readNumber(qint32 cls, Value& out) {
    if (!expectGroup('*', cls))
        return {};
    const qint64 at = _in.offset();
    const qint32 type = _in.readCString();
    if (_in.failed())
        return {};
    const QByteArrayView code = type < 0 ? QByteArrayView() : _in.string(type);
    if (code.size() != 1 || !isNumberCode(code.front())) {
        _in.fail(QStringLiteral("it holds an %1 of the type %2, which is not a number")
                     .arg(className(cls), type < 0 ? QStringLiteral("NULL") : quoted(code)),
                 at);
        return {};
    }
    if (!expectGroup(code.front(), cls))
        return {};
    const auto offset = quint32(_in.offset());
    out = readScalar(code.front());
    return {ObjectSlot::Kind::Number, code.front(), offset};
}

void ArchiveDecoder::readData(qint32 cls, bool isMutable, Value& out) {
    if (!expectGroup('i', cls))
        return;
    const qint64 at = _in.offset();
    const qint64 length = TypedStreamReader::signedOfType('i', _in.readInteger());
    if (!_in.checkCount(length, 1, at, "length"))
        return;
    char type[16];
    const int typeLength = std::snprintf(type, sizeof type, "[%lldc]", static_cast<long long>(length));
    if (expectGroup(QByteArrayView(type, typeLength), cls))
        out = Value::data(_in.readBytes(length, "a byte array").toByteArray(), isMutable);
}

void ArchiveDecoder::readArray(qint32 cls, bool isMutable, Value& out, quint64* weight) {
    const Place elements =
        std::exchange(_place, Place::Any) == Place::History ? Place::HistoryEntry : Place::Any;
    if (!expectGroup('i', cls))
        return;
    const qint64 at = _in.offset();
    const qint64 count = TypedStreamReader::signedOfType('i', _in.readInteger());
    // Each element takes at least a type string reference and an object reference.
    if (!_in.checkCount(count, 2, at))
        return;
    ArrayPtr array = Array::create(isMutable);
    array->items.reserve(size_t(count));
    for (qint64 i = 0; i < count; ++i) {
        if (!expectGroup('@', cls))
            return;
        const qint64 itemAt = _in.offset();
        quint64 itemWeight = 0;
        Value& item = array->items.emplace_back();
        readObject(item, &itemWeight, elements);
        if (_in.failed())
            return;
        if (item.isNil()) {
            report(Problem::NilElement, itemAt);
            return;
        }
        addWeight(weight, itemWeight);
    }
    out = std::move(array);
}

void ArchiveDecoder::readDictionary(qint32 cls, bool isMutable, Value& out, quint64* weight) {
    const bool isHistoryEntry = std::exchange(_place, Place::Any) == Place::HistoryEntry;
    if (!expectGroup('i', cls))
        return;
    const qint64 at = _in.offset();
    const qint64 count = TypedStreamReader::signedOfType('i', _in.readInteger());
    if (!_in.checkCount(count, 4, at))
        return;
    DictPtr dict = Dict::create(isMutable);
    auto& entries = dict->entries;
    entries.reserve(size_t(count));
    QHash<QString, qsizetype> positions; // only for large dictionaries
    const bool outerInHistoryEntry = std::exchange(_inHistoryEntry, isHistoryEntry);
    const auto restore = qScopeGuard([&] { _inHistoryEntry = outerInHistoryEntry; });
    const size_t slotsBefore = _slots.size(), textsBefore = _texts.size(),
                 entryTextsBefore = _entryTexts.size();
    for (qint64 i = 0; i < count; ++i) {
        quint64 keyWeight = 0, valueWeight = 0;
        auto& entry = entries.emplace_back();
        if (!expectGroup('@', cls) || !readKey(entry.first, &keyWeight) || !expectGroup('@', cls))
            return;
        const qint64 valueAt = _in.offset();
        readObject(entry.second, &valueWeight, entry.first == key::history ? Place::History : Place::Any);
        if (_in.failed())
            return;
        if (entry.second.isNil()) {
            report(Problem::NilValue, valueAt);
            return;
        }
        addWeight(weight, keyWeight);
        addWeight(weight, valueWeight);
        // A repeated key keeps its first place and takes the later value, as the platform's dictionary does.
        const auto last = qsizetype(entries.size()) - 1;
        qsizetype position = -1;
        if (count <= kLinearKeyScan) {
            for (qsizetype j = 0; j < last && position < 0; ++j)
                if (entries[size_t(j)].first == entry.first)
                    position = j;
        } else {
            position = positions.value(entry.first, -1);
            if (position < 0)
                positions.insert(entry.first, last);
        }
        if (position >= 0) {
            entries[size_t(position)].second = std::move(entry.second);
            entries.pop_back();
        }
    }
    // Items hold millions of history entries; each is kept in its compact form.
    if (std::optional<HistoryEntry> entry = isHistoryEntry ? HistoryEntry::fromDict(*dict) : std::nullopt) {
        Q_ASSERT(*weight == kHistoryEntryWeight);
        releaseEntryTexts(*entry, slotsBefore, textsBefore, entryTextsBefore);
        out = *std::move(entry);
        return;
    }
    _entryTexts.resize(entryTextsBefore);
    out = std::move(dict);
}

void ArchiveDecoder::releaseEntryTexts(const HistoryEntry& entry, size_t slotsBefore, size_t textsBefore,
                                       size_t entryTextsBefore) {
    // A compact entry keeps its timestamp as digits, so a text held for that would outlive it: it is
    // read again should anything refer to it. The message the entry keeps, and it stays held.
    const auto held = _entryTexts.begin() + qsizetype(entryTextsBefore);
    const auto heldHere = [&](size_t index) {
        return std::any_of(held, _entryTexts.end(), [&](const EntryText& t) { return t.index == index; });
    };
    for (size_t i = slotsBefore; i < _slots.size(); ++i) {
        ObjectSlot& slot = _slots[i];
        if ((slot.kind != ObjectSlot::Kind::Text && slot.kind != ObjectSlot::Kind::MutableText) ||
            _texts[slot.payload].constData() == entry.message().constData())
            continue;
        const auto text = std::find_if(held, _entryTexts.end(),
                                       [&](const EntryText& t) { return t.index == slot.payload; });
        if (text == _entryTexts.end())
            continue;
        slot = {slot.kind == ObjectSlot::Kind::Text ? ObjectSlot::Kind::String
                                                    : ObjectSlot::Kind::MutableString,
                0, text->offset};
        _texts[text->index] = QString();
    }
    while (_texts.size() > textsBefore && _texts.back().isNull() && heldHere(_texts.size() - 1))
        _texts.pop_back();
    _entryTexts.resize(entryTextsBefore);
}

void ArchiveDecoder::readCalendarDate(qint32 cls, Value& out, quint64* weight) {
    CalendarDate date;
    if (!expectGroup('d', cls))
        return;
    date.seconds = _in.readReal('d');
    const qint64 zoneAt = _in.offset();
    const std::vector<Value> zone = readGroupValues("@", cls, weight);
    if (_in.failed())
        return;
    if (const TimeZone* z = zone.front().asTimeZone())
        date.timeZone = *z;
    else if (!zone.front().isNil())
        _in.fail(QStringLiteral("it holds an NSCalendarDate whose time zone is not an NSTimeZone"), zoneAt);
    const qint64 formatAt = _in.offset();
    const std::vector<Value> format = readGroupValues("@", cls, weight);
    if (_in.failed())
        return;
    if (const QString* f = format.front().asString())
        date.format = *f;
    else if (!format.front().isNil())
        _in.fail(QStringLiteral("it holds an NSCalendarDate whose format is not a string"), formatAt);
    out = std::move(date);
}

void ArchiveDecoder::readTimeZone(qint32 cls, Value& out, quint64* weight) {
    const qint64 at = _in.offset();
    const std::vector<Value> name = readGroupValues("@", cls, weight);
    if (_in.failed())
        return;
    TimeZone zone;
    if (const QString* text = name.front().asString()) {
        zone.name = *text;
    } else {
        _in.fail(QStringLiteral("it holds an NSTimeZone without a name"), at);
        return;
    }
    // Zones of class version 1 and later also carry their data, which may be nil.
    if (_in.classInfo(cls).version != 0) {
        const qint64 dataAt = _in.offset();
        const std::vector<Value> data = readGroupValues("@", cls, weight);
        if (_in.failed())
            return;
        if (const QByteArray* bytes = data.front().asData())
            zone.data = *bytes;
        else if (!data.front().isNil())
            _in.fail(QStringLiteral("it holds an NSTimeZone whose data is not data"), dataAt);
    }
    out = std::move(zone);
}

void ArchiveDecoder::readColor(qint32 cls, Value& out, quint64* weight) {
    if (!expectGroup('c', cls))
        return;
    const qint64 at = _in.offset();
    Color color;
    color.space = _in.readByte("a colour");
    static const char* const componentTypes[] = {"", "ffff", "ffff", "ff", "ff", "fffff", "@@@"};
    if (color.space < Color::CalibratedRGB || color.space > Color::Named) {
        _in.fail(QStringLiteral("it holds an NSColor of the unknown kind %1").arg(color.space), at);
        return;
    }
    const qint64 valuesAt = _in.offset();
    const std::vector<Value> values = readGroupValues(componentTypes[color.space], cls, weight);
    if (_in.failed())
        return;
    if (color.space != Color::Named) {
        for (const Value& component : values)
            color.components.push_back(float(component.asNumber()->real));
        out = std::move(color);
        return;
    }
    const QString* catalog = values[0].asString();
    const QString* name = values[1].asString();
    const Color* fallback = values[2].asColor();
    if ((!catalog && !values[0].isNil()) || (!name && !values[1].isNil()) ||
        (!fallback && !values[2].isNil())) {
        _in.fail(QStringLiteral("it holds a named NSColor whose names or fallback colour have other kinds"),
                 valuesAt);
        return;
    }
    color.catalog = catalog ? *catalog : QString();
    color.name = name ? *name : QString();
    if (fallback)
        color.fallback = std::make_shared<Color>(*fallback);
    out = std::move(color);
}

} // namespace tardigo
