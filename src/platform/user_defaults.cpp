#include "platform/user_defaults.h"

#include "model/keys.h"
#include "platform/settings_value.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QSettings>

#include <map>

Q_LOGGING_CATEGORY(lcDefaults, "tardigo.defaults")

namespace tardigo {

struct UserDefaults::Private {
    std::map<QString, Value> registered;
    std::map<QString, Value> set;
    std::unique_ptr<QSettings> settings; // null: memory only

    void load() {
        set.clear();
        if (!settings)
            return;
        for (const QString& k : settings->allKeys()) {
            const QByteArray text = settings->value(k).toString().toUtf8();
            QJsonParseError error;
            // Wrapped in an array so that bare numbers, strings and booleans parse as JSON too.
            const QJsonDocument doc = QJsonDocument::fromJson("[" + text + "]", &error);
            if (error.error != QJsonParseError::NoError || doc.array().size() != 1) {
                qCWarning(lcDefaults) << "ignoring unreadable preference" << k << "in" << settings->fileName();
                continue;
            }
            set[k] = valueFromSettingsJson(doc.array().first());
        }
    }
};

UserDefaults::UserDefaults() : d(std::make_unique<Private>()) {}
UserDefaults::~UserDefaults() = default;

UserDefaults& UserDefaults::standard() {
    static UserDefaults* instance = [] {
        auto* defaults = new UserDefaults;
        defaults->d->settings =
            std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tardigo"),
                                        QStringLiteral("tardigo"));
        defaults->d->load();
        registerTardigoDefaults(*defaults);
        return defaults;
    }();
    return *instance;
}

void UserDefaults::useFile(const QString& path) {
    d->settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    d->load();
}

void UserDefaults::useMemoryOnly() {
    d->settings.reset();
    d->set.clear();
}

void UserDefaults::registerDefaults(const std::vector<std::pair<QString, Value>>& defaults) {
    for (const auto& [k, v] : defaults)
        d->registered[k] = v;
}

Value UserDefaults::objectForKey(const QString& key) const {
    if (auto it = d->set.find(key); it != d->set.end())
        return it->second;
    if (auto it = d->registered.find(key); it != d->registered.end())
        return it->second;
    return {};
}

bool UserDefaults::boolForKey(const QString& key) const {
    const Value v = objectForKey(key);
    return v.isNumber() && v.asNumber()->toDouble() != 0.0;
}

qint64 UserDefaults::integerForKey(const QString& key) const {
    const Value v = objectForKey(key);
    return v.isNumber() ? v.asNumber()->toInt64() : 0;
}

QStringList UserDefaults::stringArrayForKey(const QString& key) const {
    QStringList result;
    if (const ArrayPtr array = objectForKey(key).asArray())
        for (const Value& item : array->items)
            if (const QString* s = item.asString())
                result.append(*s);
    return result;
}

void UserDefaults::setObject(const QString& key, const Value& value) {
    if (value.isNil()) {
        removeObject(key);
        return;
    }
    d->set[key] = value.deepCopy();
    if (d->settings) {
        const QJsonDocument doc(QJsonArray{settingsJsonFromValue(value)});
        QByteArray text = doc.toJson(QJsonDocument::Compact);
        d->settings->setValue(key, QString::fromUtf8(text.mid(1, text.size() - 2)));
    }
}

void UserDefaults::setBool(const QString& key, bool value) { setObject(key, Value::boolean(value)); }
void UserDefaults::setInteger(const QString& key, qint64 value) { setObject(key, Value::integer(value)); }

void UserDefaults::setStringArray(const QString& key, const QStringList& value) {
    ArrayPtr array = Array::create();
    for (const QString& s : value)
        array->items.emplace_back(s);
    setObject(key, array);
}

void UserDefaults::removeObject(const QString& key) {
    d->set.erase(key);
    if (d->settings)
        d->settings->remove(key);
}

void UserDefaults::synchronize() {
    if (!d->settings)
        return;
    d->settings->sync();
    if (d->settings->status() != QSettings::NoError)
        qCWarning(lcDefaults) << "could not write the preferences to" << d->settings->fileName();
}

} // namespace tardigo
