#include "platform/legacy_settings.h"

#include "model/core_log.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <cmath>

namespace tardigo {

namespace {

const QString kDataTag = QStringLiteral("$data");

Value valueFromJson(const QJsonValue& json) {
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
        const QJsonArray items = json.toArray();
        for (const QJsonValue& item : items)
            array->items.push_back(valueFromJson(item));
        return array;
    }
    case QJsonValue::Object: {
        const QJsonObject object = json.toObject();
        if (object.size() == 1 && object.contains(kDataTag))
            return Value::data(QByteArray::fromBase64(object.value(kDataTag).toString().toLatin1()));
        DictPtr dict = Dict::create();
        for (auto it = object.begin(); it != object.end(); ++it)
            dict->set(it.key(), valueFromJson(it.value()));
        return dict;
    }
    default:
        return {};
    }
}

} // namespace

std::map<QString, Value> readLegacySettings(const QString& path) {
    std::map<QString, Value> values;
    const QSettings settings(path, QSettings::IniFormat);
    for (const QString& key : settings.allKeys()) {
        const QByteArray text = settings.value(key).toString().toUtf8();
        QJsonParseError error;
        // Wrapped in an array so that bare numbers, strings and booleans parse as JSON too.
        const QJsonDocument doc = QJsonDocument::fromJson("[" + text + "]", &error);
        if (error.error != QJsonParseError::NoError || doc.array().size() != 1) {
            qCWarning(lcPlatform) << "ignoring unreadable preference" << key << "in" << path;
            continue;
        }
        values[key] = valueFromJson(doc.array().first());
    }
    return values;
}

} // namespace tardigo
