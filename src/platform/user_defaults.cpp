#include "platform/user_defaults.h"

#include "platform/ini_text.h"
#include "platform/legacy_settings.h"
#include "platform/plain_ini_format.h"
#include "platform/platform_log.h"
#include "platform/preference_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <map>

namespace tardigo {

namespace {

// Where earlier builds kept their preferences, beside the file of today.
const QString kLegacyFileName = QStringLiteral("tardigo.ini");
const QString kFileName = QStringLiteral("preferences.ini");

QString configFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tardigo");
}

} // namespace

struct UserDefaults::Private {
    std::map<QString, Value> registered;
    std::map<QString, Value> set;
    std::unique_ptr<QSettings> settings; // null: memory only

    void load();
    void loadDictionaryEntry(const QString& name, const QString& entry, const QString& text,
                             std::map<QString, DictPtr>& dictionaries);
    void write(const QString& key, const Value& value);
    void warnUnreadable(const QString& key, const QString& text) const {
        qCWarning(lcPlatform).noquote()
            << "ignoring the preference" << key << "=" << text << "in" << settings->fileName()
            << "as it is not of its kind or out of its range";
    }
};

void UserDefaults::Private::load() {
    set.clear();
    if (!settings)
        return;
    std::map<QString, DictPtr> dictionaries;
    for (const QString& settingsKey : settings->allKeys()) {
        const QString text = settings->value(settingsKey).toString();
        if (const qsizetype slash = settingsKey.indexOf(u'/'); slash >= 0) {
            loadDictionaryEntry(nameFromIniKey(settingsKey.left(slash)),
                                nameFromIniKey(settingsKey.mid(slash + 1)), text, dictionaries);
            continue;
        }
        const QString key = nameFromIniKey(settingsKey);
        const PreferenceKind kind = preferenceKind(key).value_or(inferredIniKind(text));
        const std::optional<Value> value = valueFromIniText(text, kind);
        if (!value || !preferenceAccepts(key, *value))
            warnUnreadable(key, text);
        else if (isDictionaryKind(kind)) {
            // A dictionary written on one line by hand; its group's entries join it.
            const DictPtr dictionary = dictionaries.try_emplace(key, Dict::create()).first->second;
            for (const auto& [name, entry] : value->asDict()->entries)
                dictionary->set(name, entry);
        } else
            set[key] = *value;
    }
    for (const auto& [key, dictionary] : dictionaries)
        set[key] = dictionary;
}

void UserDefaults::Private::loadDictionaryEntry(const QString& name, const QString& entry,
                                                const QString& text,
                                                std::map<QString, DictPtr>& dictionaries) {
    const std::optional<PreferenceKind> kind = preferenceKind(name);
    if (kind && !isDictionaryKind(*kind)) {
        warnUnreadable(name + u'/' + entry, text);
        return;
    }
    const PreferenceKind element = kind ? iniElementKind(*kind) : inferredIniKind(text);
    const std::optional<Value> value = valueFromIniText(text, element);
    if (!value || !preferenceAccepts(name, *value)) {
        warnUnreadable(name + u'/' + entry, text);
        return;
    }
    dictionaries.try_emplace(name, Dict::create()).first->second->set(entry, *value);
}

void UserDefaults::Private::write(const QString& key, const Value& value) {
    if (!settings)
        return;
    const QString settingsKey = iniKey(key);
    settings->remove(settingsKey);
    if (value.isNil())
        return;
    const std::optional<PreferenceKind> kind =
        preferenceKind(key) ? preferenceKind(key) : iniKindOfValue(value);
    const std::optional<QString> text = kind ? iniText(value, *kind) : std::nullopt;
    if (!text) {
        qCWarning(lcPlatform) << "the preference" << key
                              << "is kept until Tardigo quits: the file cannot hold"
                              << "its value";
        return;
    }
    if (!isDictionaryKind(*kind)) {
        settings->setValue(settingsKey, *text);
        return;
    }
    // A dictionary is a group of its own; an empty one is marked by its bare key.
    const DictPtr dictionary = value.asDict();
    if (dictionary->size() == 0)
        settings->setValue(settingsKey, QString());
    for (const auto& [name, entry] : dictionary->entries)
        settings->setValue(settingsKey + u'/' + iniKey(name), *iniText(entry, iniElementKind(*kind)));
}

UserDefaults::UserDefaults() : d(std::make_unique<Private>()) {}
UserDefaults::~UserDefaults() = default;

QString UserDefaults::standardFilePath() {
    return configFolder() + u'/' + kFileName;
}

UserDefaults& UserDefaults::standard() {
    static UserDefaults* instance = [] {
        auto* defaults = new UserDefaults;
        migrateLegacySettings(configFolder() + u'/' + kLegacyFileName, standardFilePath());
        defaults->useFile(standardFilePath());
        registerTardigoDefaults(*defaults);
        return defaults;
    }();
    return *instance;
}

bool UserDefaults::migrateLegacySettings(const QString& legacyPath, const QString& path) {
    if (QFile::exists(path) || !QFile::exists(legacyPath))
        return false;
    {
        UserDefaults migrated;
        migrated.useFile(path);
        for (const auto& [key, value] : readLegacySettings(legacyPath))
            migrated.setObject(key, value);
        if (!migrated.synchronize())
            return false;
    }
    // Aside, not away: the old file stays for whoever wants it, and is never read again.
    const QString aside = legacyPath + QStringLiteral(".old");
    QFile::remove(aside);
    QFile::rename(legacyPath, aside);
    qCInfo(lcPlatform).noquote() << "moved the preferences of" << legacyPath << "into" << path;
    return true;
}

void UserDefaults::useFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    d->settings = std::make_unique<QSettings>(path, plainIniFormat());
    d->load();
}

void UserDefaults::useMemoryOnly() {
    d->settings.reset();
    d->set.clear();
}

QString UserDefaults::fileName() const {
    return d->settings ? d->settings->fileName() : QString();
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

bool UserDefaults::isSetByUser(const QString& key) const {
    return d->set.find(key) != d->set.end();
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
    if (!preferenceAccepts(key, value)) {
        qCWarning(lcPlatform) << "the preference" << key
                              << "takes its default: the value given is out of its range";
        removeObject(key);
        return;
    }
    d->set[key] = value.deepCopy();
    d->write(key, value);
}

void UserDefaults::setBool(const QString& key, bool value) {
    setObject(key, Value::boolean(value));
}
void UserDefaults::setInteger(const QString& key, qint64 value) {
    setObject(key, Value::integer(value));
}

void UserDefaults::setStringArray(const QString& key, const QStringList& value) {
    ArrayPtr array = Array::create();
    for (const QString& s : value)
        array->items.emplace_back(s);
    setObject(key, array);
}

void UserDefaults::removeObject(const QString& key) {
    d->set.erase(key);
    d->write(key, Value());
}

bool UserDefaults::synchronize() {
    if (!d->settings)
        return true;
    d->settings->sync();
    if (d->settings->status() == QSettings::NoError)
        return true;
    qCWarning(lcPlatform) << "could not write the preferences to" << d->settings->fileName();
    return false;
}

bool UserDefaults::reload() {
    if (!d->settings)
        return false;
    const std::map<QString, Value> before = d->set;
    d->settings->sync();
    d->load();
    return before != d->set;
}

} // namespace tardigo
