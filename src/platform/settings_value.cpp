#include "platform/settings_value.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

namespace tardigo {

namespace {
const QString kDataTag = QStringLiteral("$data");
}

QJsonValue settingsJsonFromValue(const Value& value) {
    switch (value.type()) {
    case Value::Type::String:
        return *value.asString();
    case Value::Type::Number: {
        const Number& n = *value.asNumber();
        if (n.type == 'c' || n.type == 'B')
            return n.integer != 0;
        return n.isReal() ? QJsonValue(n.real) : QJsonValue(n.toInt64());
    }
    case Value::Type::Data:
        return QJsonObject{{kDataTag, QString::fromLatin1(value.asData()->toBase64())}};
    case Value::Type::Array: {
        QJsonArray array;
        for (const Value& item : value.asArray()->items)
            array.append(settingsJsonFromValue(item));
        return array;
    }
    case Value::Type::Dict: {
        QJsonObject object;
        const DictPtr dict = value.asDict(); // held: a history entry's is made for this call
        for (const auto& [k, v] : dict->entries)
            object.insert(k, settingsJsonFromValue(v));
        return object;
    }
    default:
        return QJsonValue::Null;
    }
}

Value valueFromSettingsJson(const QJsonValue& json) {
    switch (json.type()) {
    case QJsonValue::Bool:
        return Value::boolean(json.toBool());
    case QJsonValue::Double: {
        const double d = json.toDouble();
        if (d == std::trunc(d) && std::abs(d) < 9007199254740992.0)
            return Number::ofType(std::abs(d) <= 2147483647.0 ? 'i' : 'q', qint64(d), 0, 0.0);
        return Number::float64(d);
    }
    case QJsonValue::String:
        return json.toString();
    case QJsonValue::Array: {
        ArrayPtr array = Array::create();
        for (const QJsonValue& item : json.toArray())
            array->items.push_back(valueFromSettingsJson(item));
        return array;
    }
    case QJsonValue::Object: {
        const QJsonObject object = json.toObject();
        if (object.size() == 1 && object.contains(kDataTag))
            return Value::data(QByteArray::fromBase64(object.value(kDataTag).toString().toLatin1()));
        DictPtr dict = Dict::create();
        for (auto it = object.begin(); it != object.end(); ++it)
            dict->set(it.key(), valueFromSettingsJson(it.value()));
        return dict;
    }
    default:
        return {};
    }
}

} // namespace tardigo
