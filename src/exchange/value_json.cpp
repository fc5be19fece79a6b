#include "exchange/value_json.h"

#include "exchange/json_reader.h"
#include "exchange/json_writer.h"
#include "model/stored_date.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <limits>

namespace tardigo {

namespace {

constexpr qint64 kMSecsPerDay = 86400000;
const QDate kUnixEpoch(1970, 1, 1);
constexpr QByteArrayView kNumberTypes = "cCsSiIlLqQfd";

/// "2003-05-17T12:03:22.000Z", to the nearest millisecond; absent outside the years 1 to 9999.
std::optional<QString> isoDate(double seconds) {
    if (!std::isfinite(seconds) || std::abs(seconds) > 4e11)
        return std::nullopt;
    const auto unixMSecs = qint64(std::floor(seconds * 1000.0 + 0.5)) + Date::referenceUnixMSecs;
    const qint64 days = unixMSecs >= 0 ? unixMSecs / kMSecsPerDay : -((-unixMSecs - 1) / kMSecsPerDay) - 1;
    const qint64 ms = unixMSecs - days * kMSecsPerDay;
    const QDate date = kUnixEpoch.addDays(days);
    if (date.year() < 1 || date.year() > 9999)
        return std::nullopt;
    return QString::asprintf("%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", date.year(), date.month(), date.day(),
                             int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000));
}

std::optional<double> secondsFromIsoDate(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(\d{4})-(\d{2})-(\d{2})T(\d{2}):(\d{2}):(\d{2})\.(\d{3})Z$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto field = [&](int i) { return match.captured(i).toInt(); };
    const QDate date(field(1), field(2), field(3));
    if (!date.isValid() || field(4) > 23 || field(5) > 59 || field(6) > 59)
        return std::nullopt;
    const qint64 ms = kUnixEpoch.daysTo(date) * kMSecsPerDay + field(4) * 3600000LL + field(5) * 60000LL +
                      field(6) * 1000LL + field(7);
    return double(ms - Date::referenceUnixMSecs) / 1000.0;
}

void writeNumber(JsonWriter& json, const Number& number) {
    json.beginObject();
    json.key(u"$number");
    if (number.isReal())
        json.real(number.real);
    else if (number.isUnsigned())
        json.unsignedInteger(number.unsignedInteger);
    else
        json.integer(number.integer);
    json.key(u"$type");
    json.string(QString(QLatin1Char(number.type)));
    json.endObject();
}

void writeOptionalString(JsonWriter& json, const std::optional<QString>& text) {
    if (text)
        json.string(*text);
    else
        json.null();
}

void writeColor(JsonWriter& json, const Color& color) {
    json.beginObject();
    json.key(u"$color");
    json.beginObject();
    json.key(u"space");
    json.integer(color.space);
    if (color.space == Color::Named) {
        json.key(u"catalog");
        json.string(color.catalog);
        json.key(u"name");
        json.string(color.name);
        json.key(u"fallback");
        if (color.fallback)
            writeColor(json, *color.fallback);
        else
            json.null();
    } else {
        json.key(u"components");
        json.beginArray();
        for (const float component : color.components)
            json.real(component);
        json.endArray();
    }
    json.endObject();
    json.endObject();
}

class ValueFromJson {
public:
    std::optional<Value> convert(const JsonNode& node) {
        Value value = fromNode(node);
        if (!_error.isEmpty())
            return std::nullopt;
        return value;
    }

    QString error() const { return _error; }

private:
    void fail(const QString& what) {
        if (_error.isEmpty())
            _error = what;
    }

    bool hasKeys(const JsonNode& node, std::initializer_list<QStringView> keys) const {
        if (node.members.size() != keys.size())
            return false;
        for (const QStringView key : keys)
            if (!node.member(key))
                return false;
        return true;
    }

    Value fromNode(const JsonNode& node) {
        switch (node.kind) {
        case JsonNode::Kind::Null:
            return Null{};
        case JsonNode::Kind::Boolean:
            return Value::boolean(node.boolean);
        case JsonNode::Kind::Number:
            return bareNumber(node.number);
        case JsonNode::Kind::String:
            return node.string;
        case JsonNode::Kind::Array: {
            ArrayPtr array = Array::create();
            for (const JsonNode& item : node.items)
                array->items.push_back(fromNode(item));
            return array;
        }
        case JsonNode::Kind::Object:
            break;
        }
        return fromObject(node);
    }

    Value fromObject(const JsonNode& node) {
        if (hasKeys(node, {u"$number", u"$type"}))
            return number(*node.member(u"$number"), *node.member(u"$type"));
        if (hasKeys(node, {u"$date"}))
            return date(*node.member(u"$date"));
        if (hasKeys(node, {u"$calendarDate", u"$timeZone", u"$format"}))
            return calendarDate(node);
        if (hasKeys(node, {u"$timeZone"}) || hasKeys(node, {u"$timeZone", u"$data"}))
            return timeZone(node);
        if (hasKeys(node, {u"$data"}))
            return Value::data(bytes(*node.member(u"$data")));
        if (hasKeys(node, {u"$color"}))
            return color(*node.member(u"$color"));
        // A repeated name keeps its first place and takes the later value.
        DictPtr dict = Dict::create();
        QHash<QString, size_t> positions;
        for (const auto& [key, member] : node.members) {
            if (const auto it = positions.constFind(key); it != positions.constEnd()) {
                dict->entries[*it].second = fromNode(member);
            } else {
                positions.insert(key, dict->entries.size());
                dict->entries.emplace_back(key, fromNode(member));
            }
        }
        return dict;
    }

    static Value bareNumber(const QByteArray& text) {
        bool ok = false;
        if (const qint64 integer = text.toLongLong(&ok); ok)
            return Number::ofType(integer == qint32(integer) ? 'i' : 'q', integer, 0, 0);
        if (const quint64 integer = text.toULongLong(&ok); ok)
            return Number::ofType('Q', 0, integer, 0);
        return Number::float64(text.toDouble());
    }

    Value number(const JsonNode& value, const JsonNode& type) {
        const QByteArray code = type.string.toLatin1();
        if (type.kind != JsonNode::Kind::String || code.size() != 1 || !kNumberTypes.contains(code.front())) {
            fail(QStringLiteral("a number has the unknown type “%1”").arg(type.string));
            return {};
        }
        const char c = code.front();
        Number n = Number::ofType(c, 0, 0, 0);
        if (n.isReal()) {
            static const QStringList specials = {QStringLiteral("NaN"), QStringLiteral("Infinity"),
                                                 QStringLiteral("-Infinity")};
            const double specialValues[] = {std::numeric_limits<double>::quiet_NaN(),
                                            std::numeric_limits<double>::infinity(),
                                            -std::numeric_limits<double>::infinity()};
            if (value.kind == JsonNode::Kind::Number)
                n.real = value.number.toDouble();
            else if (const qsizetype i = specials.indexOf(value.string);
                     value.kind == JsonNode::Kind::String && i >= 0)
                n.real = specialValues[i];
            else
                fail(QStringLiteral("a number of type “%1” has no real value").arg(type.string));
            if (c == 'f')
                n.real = double(float(n.real));
            return n;
        }
        bool ok = value.kind == JsonNode::Kind::Number;
        if (n.isUnsigned()) {
            n.unsignedInteger = ok ? value.number.toULongLong(&ok) : 0;
            const quint64 limits[] = {0xFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, ~0ULL};
            ok = ok && n.unsignedInteger <= limits[QByteArrayView("CSILQ").indexOf(c)];
        } else {
            n.integer = ok ? value.number.toLongLong(&ok) : 0;
            const qint64 limits[] = {0x7F, 0x7FFF, 0x7FFFFFFF, 0x7FFFFFFF,
                                     std::numeric_limits<qint64>::max()};
            const qint64 limit = limits[QByteArrayView("csilq").indexOf(c)];
            ok = ok && n.integer <= limit && n.integer >= -limit - 1;
        }
        if (!ok)
            fail(QStringLiteral("a number of type “%1” does not hold an integer of that type")
                     .arg(type.string));
        return n;
    }

    Value date(const JsonNode& node) {
        if (node.kind == JsonNode::Kind::Number)
            return Date{node.number.toDouble()};
        const std::optional<double> seconds = secondsFromIsoDate(node.string);
        if (!seconds)
            fail(
                QStringLiteral("the date “%1” is not in the form 2003-05-17T12:03:22.000Z").arg(node.string));
        return Date{seconds.value_or(0)};
    }

    Value calendarDate(const JsonNode& node) {
        const std::optional<QDateTime> time = parseStoredDate(node.member(u"$calendarDate")->string);
        if (!time) {
            fail(QStringLiteral("the calendar date “%1” is not a stored date string")
                     .arg(node.member(u"$calendarDate")->string));
            return {};
        }
        CalendarDate date;
        date.seconds = referenceSecondsFromDateTime(*time);
        if (const JsonNode* zone = node.member(u"$timeZone"); zone->kind == JsonNode::Kind::String)
            date.timeZone = TimeZone{zone->string, std::nullopt};
        if (const JsonNode* format = node.member(u"$format"); format->kind == JsonNode::Kind::String)
            date.format = format->string;
        return date;
    }

    Value timeZone(const JsonNode& node) {
        TimeZone zone{node.member(u"$timeZone")->string, std::nullopt};
        if (const JsonNode* data = node.member(u"$data"))
            zone.data = bytes(*data);
        return zone;
    }

    QByteArray bytes(const JsonNode& node) {
        const auto decoded =
            QByteArray::fromBase64Encoding(node.string.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (node.kind != JsonNode::Kind::String || !decoded)
            fail(QStringLiteral("some data is not in base64"));
        return decoded.decoded;
    }

    Value color(const JsonNode& node) {
        Color result;
        const JsonNode* space = node.member(u"space");
        result.space = space ? space->number.toInt() : 0;
        if (result.space < Color::CalibratedRGB || result.space > Color::Named) {
            fail(QStringLiteral("a colour has an unknown colour space"));
            return {};
        }
        if (result.space != Color::Named) {
            if (const JsonNode* components = node.member(u"components"))
                for (const JsonNode& component : components->items)
                    result.components.push_back(component.number.toFloat());
            return result;
        }
        const JsonNode* catalog = node.member(u"catalog");
        const JsonNode* name = node.member(u"name");
        result.catalog = catalog ? catalog->string : QString();
        result.name = name ? name->string : QString();
        if (const JsonNode* fallback = node.member(u"fallback");
            fallback && fallback->kind == JsonNode::Kind::Object) {
            const Value inner = fromNode(*fallback);
            if (const Color* c = inner.asColor())
                result.fallback = std::make_shared<Color>(*c);
        }
        return result;
    }

    QString _error;
};

} // namespace

void writeValueJson(JsonWriter& json, const Value& value) {
    switch (value.type()) {
    case Value::Type::Nil:
    case Value::Type::Null:
        json.null();
        return;
    case Value::Type::String:
        json.string(*value.asString());
        return;
    case Value::Type::Number:
        writeNumber(json, *value.asNumber());
        return;
    case Value::Type::Date: {
        json.beginObject();
        json.key(u"$date");
        const double seconds = value.asDate()->seconds;
        if (const std::optional<QString> text = isoDate(seconds))
            json.string(*text);
        else
            json.real(seconds);
        json.endObject();
        return;
    }
    case Value::Type::CalendarDate: {
        const CalendarDate& date = *value.asCalendarDate();
        json.beginObject();
        json.key(u"$calendarDate");
        json.string(storedDateString(dateTimeFromCalendarDate(date)));
        json.key(u"$timeZone");
        writeOptionalString(json, date.timeZone ? std::optional<QString>(date.timeZone->name) : std::nullopt);
        json.key(u"$format");
        writeOptionalString(json, date.format);
        json.endObject();
        return;
    }
    case Value::Type::TimeZone: {
        const TimeZone& zone = *value.asTimeZone();
        json.beginObject();
        json.key(u"$timeZone");
        json.string(zone.name);
        if (zone.data) {
            json.key(u"$data");
            json.string(QString::fromLatin1(zone.data->toBase64()));
        }
        json.endObject();
        return;
    }
    case Value::Type::Data:
        json.beginObject();
        json.key(u"$data");
        json.string(QString::fromLatin1(value.asData()->toBase64()));
        json.endObject();
        return;
    case Value::Type::Array:
        json.beginArray();
        for (const Value& item : value.asArray()->items)
            writeValueJson(json, item);
        json.endArray();
        return;
    case Value::Type::Dict: {
        const DictPtr dict = value.asDict(); // held: a history entry's is made for this call
        json.beginObject();
        for (const auto& [key, item] : dict->entries) {
            json.key(key);
            writeValueJson(json, item);
        }
        json.endObject();
        return;
    }
    case Value::Type::Color:
        writeColor(json, *value.asColor());
        return;
    }
}

QByteArray valueToJson(const Value& value, bool pretty) {
    JsonWriter json(pretty);
    writeValueJson(json, value);
    return json.take();
}

bool valueToJson(const Value& value, bool pretty, QIODevice& device) {
    JsonWriter json(pretty, &device);
    writeValueJson(json, value);
    return json.finish();
}

std::optional<Value> valueFromJson(const QByteArray& json, QString* error) {
    QString problem;
    std::optional<Value> value;
    if (const std::optional<JsonNode> node = parseJson(json, &problem)) {
        ValueFromJson converter;
        value = converter.convert(*node);
        problem = converter.error();
    }
    if (!value && error)
        *error = problem;
    return value;
}

} // namespace tardigo
