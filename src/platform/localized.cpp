#include "platform/localized.h"

#include "model/core_log.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace tardigo {

namespace {
using TextTable = QHash<QString, QString>;

TextTable loadTexts(const QString& path) {
    TextTable texts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcPlatform) << "a table of texts is missing from the build:" << path;
        return texts;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (!doc.isObject()) {
        qCWarning(lcPlatform) << "a table of texts does not parse:" << path << error.errorString()
                              << "at byte" << error.offset;
        return texts;
    }
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it)
        texts.insert(it.key(), it.value().toString(it.key()));
    return texts;
}

/// The tables by language code. English holds only the symbolic keys: the other keys are English.
const QHash<QString, TextTable>& textTables() {
    static const QHash<QString, TextTable> tables{
        {QStringLiteral("en"), loadTexts(QStringLiteral(":/translations/english_texts.json"))},
        {QStringLiteral("de"), loadTexts(QStringLiteral(":/translations/german_texts.json"))},
    };
    return tables;
}

const TextTable& englishTexts() {
    return *textTables().constFind(QStringLiteral("en"));
}

/// The table of the first of the user's languages that has one, as the translators choose theirs.
const TextTable& textsFor(const QLocale& locale) {
    const QHash<QString, TextTable>& tables = textTables();
    for (const QString& language : locale.uiLanguages()) {
        const auto table = tables.constFind(language.section(u'-', 0, 0));
        if (table != tables.cend())
            return *table;
    }
    return englishTexts();
}

const TextTable& userTexts() {
    // A printout asks for a text per item: choose the table again only when the locale changed.
    thread_local QLocale chosenFor = QLocale::c();
    thread_local const TextTable* chosen = nullptr;
    const QLocale locale;
    if (!chosen || locale != chosenFor) {
        chosen = &textsFor(locale);
        chosenFor = locale;
    }
    return *chosen;
}
} // namespace

QString localized(const QString& key) {
    // An installed translator that knows the key wins over the tables.
    const QString translated = QCoreApplication::translate("Tardigo", key.toUtf8().constData());
    if (translated != key)
        return translated;
    if (const auto text = userTexts().constFind(key); text != userTexts().cend())
        return *text;
    return englishTexts().value(key, key);
}

} // namespace tardigo
