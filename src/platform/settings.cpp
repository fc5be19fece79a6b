#include "platform/settings.h"

#include "model/core_log.h"
#include "model/keys.h"
#include "platform/ini_text.h"
#include "platform/legacy_settings.h"
#include "platform/plain_ini_format.h"
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

struct Settings::Private {
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

void Settings::Private::load() {
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

void Settings::Private::loadDictionaryEntry(const QString& name, const QString& entry, const QString& text,
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

void Settings::Private::write(const QString& key, const Value& value) {
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

Settings::Settings() : d(std::make_unique<Private>()) {}
Settings::~Settings() = default;

QString Settings::standardFilePath() {
    return configFolder() + u'/' + kFileName;
}

Settings& Settings::instance() {
    static Settings* settings = [] {
        auto* created = new Settings;
        migrateLegacySettings(configFolder() + u'/' + kLegacyFileName, standardFilePath());
        created->useFile(standardFilePath());
        return created;
    }();
    return *settings;
}

bool Settings::migrateLegacySettings(const QString& legacyPath, const QString& path) {
    if (QFile::exists(path) || !QFile::exists(legacyPath))
        return false;
    {
        Settings migrated;
        migrated.useFile(path);
        for (const auto& [key, value] : readLegacySettings(legacyPath))
            migrated.setValue(key, value);
        if (!migrated.sync())
            return false;
    }
    // Aside, not away: the old file stays for whoever wants it, and is never read again.
    const QString aside = legacyPath + QStringLiteral(".old");
    QFile::remove(aside);
    QFile::rename(legacyPath, aside);
    qCInfo(lcPlatform).noquote() << "moved the preferences of" << legacyPath << "into" << path;
    return true;
}

void Settings::useFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    d->settings = std::make_unique<QSettings>(path, plainIniFormat());
    d->load();
}

void Settings::useMemoryOnly() {
    d->settings.reset();
    d->set.clear();
}

QString Settings::fileName() const {
    return d->settings ? d->settings->fileName() : QString();
}

Value Settings::value(const QString& key) const {
    if (auto it = d->set.find(key); it != d->set.end())
        return it->second;
    if (const Preference* preference = preferenceForKey(key))
        return preference->registeredDefault;
    return {};
}

bool Settings::contains(const QString& key) const {
    return d->set.find(key) != d->set.end();
}

void Settings::setValue(const QString& key, const Value& value) {
    if (value.isNil()) {
        remove(key);
        return;
    }
    if (!preferenceAccepts(key, value)) {
        qCWarning(lcPlatform) << "the preference" << key
                              << "takes its default: the value given is out of its range";
        remove(key);
        return;
    }
    d->set[key] = value.deepCopy();
    d->write(key, value);
}

void Settings::remove(const QString& key) {
    d->set.erase(key);
    d->write(key, Value());
}

bool Settings::sync() {
    if (!d->settings)
        return true;
    d->settings->sync();
    if (d->settings->status() == QSettings::NoError)
        return true;
    qCWarning(lcPlatform) << "could not write the preferences to" << d->settings->fileName();
    return false;
}

bool Settings::reload() {
    if (!d->settings)
        return false;
    const std::map<QString, Value> before = d->set;
    d->settings->sync();
    d->load();
    return before != d->set;
}

// Today's reading of every kind: what is not of the kind reads as nothing, never converted.
bool Settings::flag(const QString& key) const {
    const Value v = value(key);
    return v.isNumber() && v.asNumber()->toDouble() != 0.0;
}

void Settings::setFlag(const QString& key, bool on) {
    setValue(key, Value::boolean(on));
}

qint64 Settings::integer(const QString& key) const {
    const Value v = value(key);
    return v.isNumber() ? v.asNumber()->toInt64() : 0;
}

void Settings::setInteger(const QString& key, qint64 number) {
    setValue(key, Value::integer(number));
}

QString Settings::text(const QString& key) const {
    const Value v = value(key);
    const QString* stored = v.asString();
    return stored ? *stored : QString();
}

void Settings::setText(const QString& key, const QString& text) {
    setValue(key, Value(text));
}

QStringList Settings::textList(const QString& key) const {
    QStringList result;
    if (const ArrayPtr array = value(key).asArray())
        for (const Value& item : array->items)
            if (const QString* s = item.asString())
                result.append(*s);
    return result;
}

void Settings::setTextList(const QString& key, const QStringList& texts) {
    ArrayPtr array = Array::create();
    for (const QString& s : texts)
        array->items.emplace_back(s);
    setValue(key, array);
}

QByteArray Settings::bytes(const QString& key) const {
    const Value v = value(key);
    const QByteArray* stored = v.asData();
    return stored ? *stored : QByteArray();
}

// Each preference through the kind the table gives it.

bool Settings::minderEnabled() const {
    return flag(pref::tardigoMinderEnabled);
}
void Settings::setMinderEnabled(bool on) {
    setFlag(pref::tardigoMinderEnabled, on);
}
qint64 Settings::minderIntervalMinutes() const {
    return integer(pref::tardigoMinderRunIntervalMin);
}
void Settings::setMinderIntervalMinutes(qint64 minutes) {
    setInteger(pref::tardigoMinderRunIntervalMin, minutes);
}
QStringList Settings::minderLists() const {
    return textList(pref::tardigoMinderDocs);
}
void Settings::setMinderLists(const QStringList& paths) {
    setTextList(pref::tardigoMinderDocs, paths);
}
bool Settings::minderAlertDialog() const {
    return flag(pref::minderAlertDialog);
}
void Settings::setMinderAlertDialog(bool on) {
    setFlag(pref::minderAlertDialog, on);
}
bool Settings::minderAlertSound() const {
    return flag(pref::minderAlertSound);
}
void Settings::setMinderAlertSound(bool on) {
    setFlag(pref::minderAlertSound, on);
}
bool Settings::minderSpeak() const {
    return flag(pref::minderSpeak);
}
void Settings::setMinderSpeak(bool on) {
    setFlag(pref::minderSpeak, on);
}
bool Settings::minderEmail() const {
    return flag(pref::minderEmail);
}
void Settings::setMinderEmail(bool on) {
    setFlag(pref::minderEmail, on);
}
bool Settings::minderDesktopNotification() const {
    return flag(pref::minderDesktopNotification);
}
void Settings::setMinderDesktopNotification(bool on) {
    setFlag(pref::minderDesktopNotification, on);
}
QString Settings::minderEmailAddress() const {
    return text(pref::minderEmailAddress);
}
void Settings::setMinderEmailAddress(const QString& address) {
    setText(pref::minderEmailAddress, address);
}
QString Settings::minderSendmailPath() const {
    return text(pref::minderSendmailPath);
}
void Settings::setMinderSendmailPath(const QString& path) {
    setText(pref::minderSendmailPath, path);
}
qint64 Settings::frequentRepeatHours() const {
    return integer(pref::frequentRepeatHours);
}
qint64 Settings::infrequentRepeatHours() const {
    return integer(pref::infrequentHours);
}

bool Settings::loadPreviousListOnStartup() const {
    return flag(pref::loadPreviousListOnStartup);
}
void Settings::setLoadPreviousListOnStartup(bool on) {
    setFlag(pref::loadPreviousListOnStartup, on);
}
QStringList Settings::lastDocumentSet() const {
    return textList(pref::lastDocumentSet);
}
void Settings::setLastDocumentSet(const QStringList& paths) {
    setTextList(pref::lastDocumentSet, paths);
}
bool Settings::lastWindowCloseQuits() const {
    return flag(pref::lastWindowCloseQuits);
}
void Settings::setLastWindowCloseQuits(bool on) {
    setFlag(pref::lastWindowCloseQuits, on);
}
bool Settings::autoSave() const {
    return flag(pref::autoSave);
}
void Settings::setAutoSave(bool on) {
    setFlag(pref::autoSave, on);
}
QStringList Settings::recentDocuments() const {
    return textList(pref::recentDocuments);
}
void Settings::setRecentDocuments(const QStringList& paths) {
    setTextList(pref::recentDocuments, paths);
}
QString Settings::syncCommand() const {
    return text(pref::syncCommand);
}
QString Settings::quickAddList() const {
    return text(pref::quickAddList);
}
bool Settings::agendaShowsUndated() const {
    return flag(pref::agendaShowsUndated);
}
void Settings::setAgendaShowsUndated(bool on) {
    setFlag(pref::agendaShowsUndated, on);
}

bool Settings::categoriesLocalScope() const {
    return flag(pref::categoriesLocalScope);
}
void Settings::setCategoriesLocalScope(bool local) {
    setFlag(pref::categoriesLocalScope, local);
}
QStringList Settings::globalCategories() const {
    return textList(pref::categoriesGlobalList);
}
void Settings::setGlobalCategories(const QStringList& categories) {
    setTextList(pref::categoriesGlobalList, categories);
}
QStringList Settings::itemIcons() const {
    return textList(pref::todoItemIcons);
}
void Settings::setItemIcons(const QStringList& icons) {
    setTextList(pref::todoItemIcons, icons);
}
DictPtr Settings::iconConditions() const {
    return value(pref::todoItemIconConditions).asDict();
}
void Settings::setIconConditions(const DictPtr& conditions) {
    setValue(pref::todoItemIconConditions, conditions);
}
DictPtr Settings::iconCategories() const {
    return value(pref::todoItemIconCategories).asDict();
}
void Settings::setIconCategories(const DictPtr& categories) {
    setValue(pref::todoItemIconCategories, categories);
}
qint64 Settings::oldDays() const {
    return integer(pref::oldDays);
}

qint64 Settings::drawerSide() const {
    return integer(pref::drawerSide);
}
void Settings::setDrawerSide(qint64 side) {
    setInteger(pref::drawerSide, side);
}
bool Settings::borderPulldowns() const {
    return flag(pref::borderPulldowns);
}
bool Settings::printCheckboxes() const {
    return flag(pref::printCheckboxes);
}
void Settings::setPrintCheckboxes(bool on) {
    setFlag(pref::printCheckboxes, on);
}
bool Settings::printIcons() const {
    return flag(pref::printIcons);
}
void Settings::setPrintIcons(bool on) {
    setFlag(pref::printIcons, on);
}
bool Settings::printNotes() const {
    return flag(pref::printNotes);
}
void Settings::setPrintNotes(bool on) {
    setFlag(pref::printNotes, on);
}
QString Settings::shortDateFormat() const {
    return text(pref::userShortDateFormat);
}
void Settings::setShortDateFormat(const QString& format) {
    setText(pref::userShortDateFormat, format);
}
QString Settings::timeFormat() const {
    return text(pref::userTimeFormat);
}
void Settings::setTimeFormat(const QString& format) {
    setText(pref::userTimeFormat, format);
}
QString Settings::userFont() const {
    return text(pref::userFont);
}
std::optional<double> Settings::userFontSize() const {
    const Value size = value(pref::userFontSize);
    return size.isNumber() ? std::optional(size.asNumber()->toDouble()) : std::nullopt;
}
void Settings::setUserFont(const QString& name, double pointSize) {
    setText(pref::userFont, name);
    setValue(pref::userFontSize, Value::float32(pointSize));
}
void Settings::removeUserFont() {
    remove(pref::userFont);
    remove(pref::userFontSize);
}
std::optional<QStringList> Settings::toolbarItems() const {
    return value(pref::toolbarItemIdentifiers).isNil()
               ? std::nullopt
               : std::optional(textList(pref::toolbarItemIdentifiers));
}
void Settings::setToolbarItems(const QStringList& identifiers) {
    setTextList(pref::toolbarItemIdentifiers, identifiers);
}

QByteArray Settings::windowFrame(const QString& listName) const {
    return bytes(pref::windowFramePrefix + listName);
}
void Settings::setWindowFrame(const QString& listName, const QByteArray& geometry) {
    setValue(pref::windowFramePrefix + listName, Value::data(geometry));
}
QByteArray Settings::outlineColumns(const QString& listName) const {
    return bytes(pref::outlineColumnsPrefix + listName);
}
void Settings::setOutlineColumns(const QString& listName, const QByteArray& state) {
    setValue(pref::outlineColumnsPrefix + listName, Value::data(state));
}

} // namespace tardigo
