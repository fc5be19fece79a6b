#pragma once

#include "model/history_entry.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace tardigo {

class Value;
struct Array;
struct Dict;
using ArrayPtr = std::shared_ptr<Array>;
using DictPtr = std::shared_ptr<Dict>;
/// An item node, the root node and a history entry are all dictionaries.
using NodePtr = DictPtr;

/// A number keeps the archive's objCType ('c' boolean, 'i' integer, 'f' float, or any other
/// kind an archive holds) so that it is written back as it was read. Only the member of its kind
/// is meaningful: signed kinds and booleans use `integer`, unsigned kinds `unsignedInteger`, 'f'
/// and 'd' `real` (one word, as a list holds millions of numbers).
struct Number {
    char type = 'i';
    union {
        qint64 integer = 0;
        quint64 unsignedInteger;
        double real;
    };

    static Number boolean(bool b) { return ofType('c', b ? 1 : 0, 0, 0.0); }
    static Number int32(qint64 v) { return ofType('i', v, 0, 0.0); }
    static Number float32(double v) { return ofType('f', 0, 0, double(float(v))); }
    static Number float64(double v) { return ofType('d', 0, 0, v); }
    /// A number of the kind, from the one of i, u and r that the kind uses.
    static Number ofType(char type, qint64 i, quint64 u, double r);

    bool isReal() const { return type == 'f' || type == 'd'; }
    bool isUnsigned() const {
        return type == 'C' || type == 'S' || type == 'I' || type == 'L' || type == 'Q';
    }
    double toDouble() const;
    qint64 toInt64() const;
    /// Numeric equality across kinds: true equals 1 and 1.0.
    bool operator==(const Number& other) const;
};

/// An absolute point in time, as seconds since 2001-01-01 00:00:00 UTC.
struct Date {
    /// The archive's epoch, 2001-01-01 00:00:00 UTC, in seconds since 1970.
    static constexpr qint64 referenceUnixSeconds = 978307200;
    static constexpr qint64 referenceUnixMSecs = referenceUnixSeconds * 1000;

    double seconds = 0.0;
    bool operator==(const Date& other) const { return seconds == other.seconds; }
};

/// A time zone as archived: its name, and the zone data that older archives carry.
struct TimeZone {
    QString name;
    std::optional<QByteArray> data;
    bool operator==(const TimeZone& other) const = default;
};

/// Only early lists hold these: a time with its own zone and display format.
struct CalendarDate {
    double seconds = 0.0;
    std::optional<TimeZone> timeZone;
    std::optional<QString> format;
    bool operator==(const CalendarDate& other) const = default;
};

/// An archived colour, kept in the colour space it was stored in.
struct Color {
    enum Space : int {
        CalibratedRGB = 1,
        DeviceRGB = 2,
        CalibratedWhite = 3,
        DeviceWhite = 4,
        DeviceCMYK = 5,
        Named = 6
    };
    int space = CalibratedRGB;
    std::vector<float> components;
    QString catalog;
    QString name;
    std::shared_ptr<Color> fallback;
    bool operator==(const Color& other) const;
};

struct Null {
    bool operator==(const Null&) const = default;
};

/// Text and bytes remember whether the archive held the mutable class by the kind they are
/// stored as, not by a flag beside them, which would make every value a word larger.
struct String {
    QString text;
};
struct MutableString : String {};

struct Data {
    QByteArray bytes;
};
struct MutableData : Data {};

/// A dynamically typed node value. Arrays and dictionaries are reference types: the tree relies on
/// node identity, so copying a Value that holds one shares it. A history entry is a dictionary
/// kept in a compact, immutable form (see HistoryEntry); asDict() answers a copy of it as a Dict.
class Value {
public:
    enum class Type { Nil, String, Number, Date, CalendarDate, TimeZone, Data, Array, Dict, Color, Null };

    Value() = default;
    Value(const QString& s, bool isMutable = false);
    Value(const char* s) : _v(String{QString::fromUtf8(s)}) {}
    Value(Number n) : _v(n) {}
    Value(Date d) : _v(d) {}
    Value(CalendarDate d) : _v(std::make_shared<const CalendarDate>(std::move(d))) {}
    Value(TimeZone z) : _v(std::make_shared<const TimeZone>(std::move(z))) {}
    Value(ArrayPtr a) : _v(std::move(a)) {}
    Value(DictPtr d) : _v(std::move(d)) {}
    Value(Color c) : _v(std::make_shared<const Color>(std::move(c))) {}
    Value(Null n) : _v(n) {}
    Value(HistoryEntry e) : _v(std::make_shared<const HistoryEntry>(std::move(e))) {}

    static Value boolean(bool b) { return Number::boolean(b); }
    static Value integer(qint64 i) { return Number::int32(i); }
    /// A 32-bit float, as the platform archives a float number.
    static Value float32(double f) { return Number::float32(f); }
    static Value data(const QByteArray& bytes, bool isMutable = false);

    Type type() const;
    bool isNil() const { return type() == Type::Nil; }
    bool isString() const { return type() == Type::String; }
    bool isNumber() const { return type() == Type::Number; }
    bool isDate() const { return type() == Type::Date; }
    bool isData() const { return type() == Type::Data; }
    bool isArray() const { return type() == Type::Array; }

    /// Whether a string or data was of the archive's mutable class (arrays and dictionaries say
    /// it themselves).
    bool isMutable() const;

    // Typed access; each answers null when the value is of another kind. The answer points into
    // the value, so a temporary value cannot be asked.
    const QString* asString() const&;
    const Number* asNumber() const& { return std::get_if<Number>(&_v); }
    const Date* asDate() const& { return std::get_if<Date>(&_v); }
    const CalendarDate* asCalendarDate() const& { return boxed<CalendarDate>(); }
    const TimeZone* asTimeZone() const& { return boxed<TimeZone>(); }
    const QByteArray* asData() const&;
    const Color* asColor() const& { return boxed<Color>(); }
    const QString* asString() const&& = delete;
    const Number* asNumber() const&& = delete;
    const Date* asDate() const&& = delete;
    const CalendarDate* asCalendarDate() const&& = delete;
    const TimeZone* asTimeZone() const&& = delete;
    const QByteArray* asData() const&& = delete;
    const Color* asColor() const&& = delete;
    ArrayPtr asArray() const;
    /// The dictionary; for a history entry, a new immutable Dict with its two entries, whose
    /// only owner is the answer: hold it while its entries are in use.
    DictPtr asDict() const;
    /// The address of a dictionary (not of a history entry), without taking a share of it; null
    /// for any other value. For telling nodes apart by identity.
    const Dict* dictAddress() const {
        const auto* p = std::get_if<DictPtr>(&_v);
        return p ? p->get() : nullptr;
    }
    /// The compact form of a history entry, or null for any other value (a history entry
    /// built by hand as a Dict included).
    const HistoryEntry* asHistoryEntry() const { return boxed<HistoryEntry>(); }
    /// How many values share this history entry (a writer writes a shared one once).
    long historyEntryOwners() const;

    /// Deep equality: same family and equal content; numbers compare numerically.
    bool operator==(const Value& other) const;

    /// A copy that shares nothing with this value (containers are copied too).
    Value deepCopy() const;

private:
    template <typename T> const T* boxed() const {
        const auto* p = std::get_if<std::shared_ptr<const T>>(&_v);
        return p ? p->get() : nullptr;
    }

    // The rare, large kinds are boxed (and immutable) so that a value stays small: a list holds
    // millions of them.
    // Every kind takes at most three words, so that a value takes four.
    std::variant<std::monostate, String, MutableString, Number, Date, std::shared_ptr<const CalendarDate>,
                 std::shared_ptr<const TimeZone>, Data, MutableData, ArrayPtr, DictPtr,
                 std::shared_ptr<const Color>, Null, std::shared_ptr<const HistoryEntry>>
        _v;
};

static_assert(sizeof(Value) == 32);

struct Array {
    std::vector<Value> items;
    bool isMutable = true;

    static ArrayPtr create(bool isMutable = true);
    qsizetype size() const { return qsizetype(items.size()); }
    /// Deep equality, element by element in order.
    bool equals(const Array& other) const;
};

/// A dictionary that keeps its keys in stored order (an archive's order survives a round trip).
struct Dict {
    std::vector<std::pair<QString, Value>> entries;
    bool isMutable = true;

    static DictPtr create(bool isMutable = true);

    const Value* find(const QString& key) const;
    /// The value under key, or a null value when absent (a reference, valid until the dict changes).
    const Value& value(const QString& key) const;
    bool contains(const QString& key) const { return find(key) != nullptr; }
    /// Replaces the value in place, or appends the key.
    void set(const QString& key, Value value);
    void remove(const QString& key);
    qsizetype size() const { return qsizetype(entries.size()); }
    DictPtr deepCopy() const;
    /// Deep equality: the same key set with equal values, whatever the key order.
    bool equals(const Dict& other) const;
};

} // namespace tardigo
