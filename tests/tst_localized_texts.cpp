#include "outline/icon_names.h"
#include "outline/outline_columns.h"
#include "platform/localized.h"
#include "print/core/print_page.h"
#include "test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

QJsonObject table(const QString& name) {
    QFile file(QStringLiteral(":/translations/%1_texts.json").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the %s string table is missing", qPrintable(name));
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The text of one C++ string literal starting at `at` (its opening quote); `at` ends past it.
QString literalAt(const QString& source, qsizetype& at) {
    QString text;
    for (++at; at < source.size() && source.at(at) != u'"'; ++at) {
        if (source.at(at) == u'\\' && at + 1 < source.size()) {
            ++at;
            text += source.at(at) == u'n' ? QChar(u'\n') : source.at(at);
        } else {
            text += source.at(at);
        }
    }
    ++at;
    return text;
}

// The keys named as literals in the calls of localized() and localizedFormat() of one source file;
// adjacent literals are one key, as for the compiler.
QStringList keysCalledIn(const QString& source) {
    QStringList keys;
    static const QRegularExpression call(QStringLiteral("\\blocalized(Format)?\\("));
    for (auto match = call.globalMatch(source); match.hasNext();) {
        qsizetype at = match.next().capturedEnd();
        int depth = 1;
        QString key;
        while (at < source.size() && depth > 0) {
            const QChar c = source.at(at);
            if (c == u'"') {
                key += literalAt(source, at);
                continue;
            }
            if (!c.isSpace() && !key.isEmpty()) {
                keys.append(key);
                key.clear();
            }
            depth += c == u'(' ? 1 : c == u')' ? -1 : 0;
            ++at;
        }
    }
    return keys;
}

QStringList keysCalledInSources() {
    QStringList keys;
    QDirIterator files(QStringLiteral(TARDIGO_SOURCE_DIR "/src"), {QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.fileName().endsWith(QLatin1String("/localized.cpp")) || !file.open(QIODevice::ReadOnly))
            continue;
        keys += keysCalledIn(QString::fromUtf8(file.readAll()));
    }
    return keys;
}

QStringList placeholdersOf(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%(\\d+|@|d)"));
    QStringList found;
    for (auto match = placeholder.globalMatch(text); match.hasNext();)
        found.append(match.next().captured());
    found.sort();
    return found;
}

// Sets the locale whose language localized() follows for the test's scope.
struct UserLocale {
    explicit UserLocale(const QString& name) { QLocale::setDefault(QLocale(name)); }
    ~UserLocale() { QLocale::setDefault(QLocale::c()); }
};

} // namespace

class TestLocalizedTexts : public QObject {
    Q_OBJECT

private slots:
    void everyKeyHasAGermanText() {
        const QJsonObject german = table(QStringLiteral("german"));
        QStringList keys = keysCalledInSources();
        QVERIFY2(keys.contains(QStringLiteral("Tardigo Minder Error (scanNode:ofDoc:")),
                 "the scan finds keys");
        keys += table(QStringLiteral("english")).keys();
        // The column titles are keys kept in a table of the columns; in English they are their own text.
        for (const Column column : outlineColumns())
            if (const QString title = columnTitle(column); !title.isEmpty())
                keys.append(title);
        for (const QString& key : keys)
            QVERIFY2(german.contains(key), qPrintable(QStringLiteral("no German text for “%1”").arg(key)));
    }

    // Every picture drawn for the icon list has a name of its own in English and in German; what is
    // not built in is named by its file, or by its words.
    void iconsAreNamedInWords() {
        const QJsonObject german = table(QStringLiteral("german"));
        const QStringList drawn = QDir(QStringLiteral(TARDIGO_SOURCE_DIR "/resources/icons"))
                                      .entryList({QStringLiteral("vk_*.svg")}, QDir::Files);
        QVERIFY(drawn.size() > 20);
        QSet<QString> names;
        for (const QString& file : drawn) {
            const QString name = iconDisplayName(file.chopped(4));
            QVERIFY2(german.contains(name), qPrintable(QStringLiteral("no German name for %1").arg(file)));
            names.insert(name);
        }
        QCOMPARE(names.size(), drawn.size());
        QCOMPARE(iconDisplayName(QStringLiteral("/home/anna/Pictures/Blue flag.png")),
                 QStringLiteral("Blue flag"));
        QCOMPARE(iconDisplayName(QStringLiteral("vk_from-a_newer-build")),
                 QStringLiteral("From a newer build"));
        UserLocale germany(QStringLiteral("de_DE"));
        QCOMPARE(iconDisplayName(QStringLiteral("vk_red-bullet")), QStringLiteral("Roter Punkt"));
    }

    void germanTextsKeepThePlaceholders() {
        const QJsonObject english = table(QStringLiteral("english"));
        const QJsonObject german = table(QStringLiteral("german"));
        for (auto it = german.begin(); it != german.end(); ++it) {
            const QString englishText = english.value(it.key()).toString(it.key());
            QVERIFY2(!it.value().toString().isEmpty(), qPrintable(it.key()));
            QVERIFY2(placeholdersOf(it.value().toString()) == placeholdersOf(englishText),
                     qPrintable(QStringLiteral("“%1” has other placeholders than “%2”")
                                    .arg(it.value().toString(), englishText)));
        }
    }

    void textsFollowTheUsersLanguage() {
        QCOMPARE(localized(QStringLiteral("Untitled")), QStringLiteral("Untitled"));
        {
            UserLocale austria(QStringLiteral("de_AT"));
            QCOMPARE(localized(QStringLiteral("Untitled")), QStringLiteral("Unbenannt"));
            QCOMPARE(localizedFormat(QStringLiteral("Past date due: %@"), QStringLiteral("morgen")),
                     QStringLiteral("Fälligkeit überschritten: morgen"));
            QCOMPARE(localized(QStringLiteral("no such key")), QStringLiteral("no such key"));
        }
        // A language without a table reads English, the symbolic keys included.
        UserLocale france(QStringLiteral("fr_FR"));
        QCOMPARE(localized(QStringLiteral("Untitled")), QStringLiteral("Untitled"));
        QCOMPARE(localized(QStringLiteral("MINDER_ERROR")), QStringLiteral("Tardigo Minder Error"));
    }

    void printFooterIsGermanWithAGermanDate() {
        UserLocale germany(QStringLiteral("de_DE"));
        FixedClock clock(QDateTime(QDate(2025, 3, 4), QTime(9, 5)));
        QCOMPARE(pageFooterText(2, QStringLiteral("Einkauf")),
                 QStringLiteral("Seite 2    Einkauf    04.03.25 09:05"));
    }
};

QTEST_GUILESS_MAIN(TestLocalizedTexts)
#include "tst_localized_texts.moc"
