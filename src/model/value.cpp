#include "model/value.h"

#include <cmath>
#include <iterator>

namespace tardigo {

Number Number::ofType(char type, qint64 i, quint64 u, double r) {
    Number n;
    n.type = type;
    if (n.isReal())
        n.real = r;
    else if (n.isUnsigned())
        n.unsignedInteger = u;
    else
        n.integer = i;
    return n;
}

double Number::toDouble() const {
    if (isReal())
        return real;
    if (isUnsigned())
        return double(unsignedInteger);
    return double(integer);
}

qint64 Number::toInt64() const {
    if (isReal()) {
        if (!std::isfinite(real) || real >= 9.2e18 || real <= -9.2e18)
            return 0;
        return qint64(real);
    }
    if (isUnsigned())
        return qint64(unsignedInteger);
    return integer;
}

bool Number::operator==(const Number& other) const {
    if (isReal() || other.isReal())
        return toDouble() == other.toDouble();
    // Both integral: compare exactly, minding the signed/unsigned boundary.
    if (isUnsigned() == other.isUnsigned())
        return isUnsigned() ? unsignedInteger == other.unsignedInteger : integer == other.integer;
    const Number& s = isUnsigned() ? other : *this;
    const Number& u = isUnsigned() ? *this : other;
    return s.integer >= 0 && quint64(s.integer) == u.unsignedInteger;
}

bool Color::operator==(const Color& other) const {
    if (space != other.space || components != other.components || catalog != other.catalog ||
        name != other.name)
        return false;
    if (!fallback || !other.fallback)
        return !fallback && !other.fallback;
    return *fallback == *other.fallback;
}

Value::Value(const QString& s, bool isMutable) {
    if (isMutable)
        _v.emplace<MutableString>(MutableString{{s}});
    else
        _v.emplace<String>(String{s});
}

Value Value::data(const QByteArray& bytes, bool isMutable) {
    Value value;
    if (isMutable)
        value._v.emplace<MutableData>(MutableData{{bytes}});
    else
        value._v.emplace<Data>(Data{bytes});
    return value;
}

Value::Type Value::type() const {
    // By the index of the kind in _v.
    static constexpr Type types[] = {
        Type::Nil,  Type::String, Type::String, Type::Number, Type::Date,  Type::CalendarDate, Type::TimeZone,
        Type::Data, Type::Data,   Type::Array,  Type::Dict,   Type::Color, Type::Null,         Type::Dict};
    static_assert(std::size(types) == std::variant_size_v<decltype(_v)>);
    return types[_v.index()];
}

bool Value::isMutable() const {
    return std::holds_alternative<MutableString>(_v) || std::holds_alternative<MutableData>(_v);
}

const QString* Value::asString() const& {
    if (const String* s = std::get_if<String>(&_v))
        return &s->text;
    const MutableString* s = std::get_if<MutableString>(&_v);
    return s ? &s->text : nullptr;
}

const QByteArray* Value::asData() const& {
    if (const Data* d = std::get_if<Data>(&_v))
        return &d->bytes;
    const MutableData* d = std::get_if<MutableData>(&_v);
    return d ? &d->bytes : nullptr;
}

ArrayPtr Value::asArray() const {
    const ArrayPtr* a = std::get_if<ArrayPtr>(&_v);
    return a ? *a : nullptr;
}

DictPtr Value::asDict() const {
    if (const DictPtr* d = std::get_if<DictPtr>(&_v))
        return *d;
    const HistoryEntry* entry = asHistoryEntry();
    return entry ? entry->toDict() : nullptr;
}

long Value::historyEntryOwners() const {
    const auto* box = std::get_if<std::shared_ptr<const HistoryEntry>>(&_v);
    return box ? box->use_count() : 0;
}

bool Value::operator==(const Value& other) const {
    if (type() != other.type())
        return false;
    switch (type()) {
    case Type::Nil:
        return true;
    case Type::String:
        return *asString() == *other.asString();
    case Type::Number:
        return *asNumber() == *other.asNumber();
    case Type::Date:
        return *asDate() == *other.asDate();
    case Type::CalendarDate:
        return *asCalendarDate() == *other.asCalendarDate();
    case Type::TimeZone:
        return *asTimeZone() == *other.asTimeZone();
    case Type::Data:
        return *asData() == *other.asData();
    case Type::Color:
        return *asColor() == *other.asColor();
    case Type::Null:
        return true;
    case Type::Array: {
        const ArrayPtr mine = asArray(), theirs = other.asArray();
        return mine == theirs || mine->equals(*theirs);
    }
    case Type::Dict: {
        if (asHistoryEntry() && other.asHistoryEntry())
            return *asHistoryEntry() == *other.asHistoryEntry();
        const DictPtr mine = asDict(), theirs = other.asDict(); // once: an entry's is made anew
        return mine == theirs || mine->equals(*theirs);
    }
    }
    return false;
}

Value Value::deepCopy() const {
    if (const ArrayPtr a = asArray()) {
        ArrayPtr copy = Array::create(a->isMutable);
        copy->items.reserve(a->items.size());
        for (const Value& item : a->items)
            copy->items.push_back(item.deepCopy());
        return copy;
    }
    if (const HistoryEntry* entry = asHistoryEntry())
        return *entry; // a box of its own, so that the copy is not written as the same object
    if (const DictPtr d = asDict())
        return d->deepCopy();
    return *this;
}

ArrayPtr Array::create(bool isMutable) {
    auto a = std::make_shared<Array>();
    a->isMutable = isMutable;
    return a;
}

bool Array::equals(const Array& other) const {
    if (this == &other)
        return true;
    if (items.size() != other.items.size())
        return false;
    for (size_t i = 0; i < items.size(); ++i)
        if (!(items[i] == other.items[i]))
            return false;
    return true;
}

DictPtr Dict::create(bool isMutable) {
    auto d = std::make_shared<Dict>();
    d->isMutable = isMutable;
    return d;
}

const Value* Dict::find(const QString& key) const {
    for (const auto& entry : entries)
        if (entry.first == key)
            return &entry.second;
    return nullptr;
}

const Value& Dict::value(const QString& key) const {
    static const Value none;
    const Value* v = find(key);
    return v ? *v : none;
}

void Dict::set(const QString& key, Value value) {
    for (auto& entry : entries) {
        if (entry.first == key) {
            entry.second = std::move(value);
            return;
        }
    }
    entries.emplace_back(key, std::move(value));
}

void Dict::remove(const QString& key) {
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->first == key) {
            entries.erase(it);
            return;
        }
    }
}

bool Dict::equals(const Dict& other) const {
    if (this == &other)
        return true;
    if (entries.size() != other.entries.size())
        return false;
    for (const auto& [key, value] : entries) {
        const Value* theirs = other.find(key);
        if (!theirs || !(value == *theirs))
            return false;
    }
    return true;
}

DictPtr Dict::deepCopy() const {
    DictPtr copy = create(isMutable);
    copy->entries.reserve(entries.size());
    for (const auto& [key, value] : entries)
        copy->entries.emplace_back(key, value.deepCopy());
    return copy;
}

} // namespace tardigo
