#include "platform/localized.h"

#include "platform/platform_log.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace tardigo {

namespace {
const QString kEnglishTexts = QStringLiteral(":/translations/english_texts.json");

QHash<QString, QString> loadEnglishTexts() {
    QHash<QString, QString> texts;
    QFile file(kEnglishTexts);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcPlatform) << "the English texts are missing from the build:" << kEnglishTexts;
        return texts;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (!doc.isObject()) {
        qCWarning(lcPlatform) << "the English texts do not parse:" << error.errorString() << "at byte"
                              << error.offset;
        return texts;
    }
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it)
        texts.insert(it.key(), it.value().toString(it.key()));
    return texts;
}

const QHash<QString, QString>& englishTexts() {
    static const QHash<QString, QString> texts = loadEnglishTexts();
    return texts;
}
} // namespace

QString localized(const QString& key) {
    const QString translated = QCoreApplication::translate("Tardigo", key.toUtf8().constData());
    if (translated != key)
        return translated;
    return englishTexts().value(key, key);
}

} // namespace tardigo
