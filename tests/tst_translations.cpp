#include "document/inspector_commands.h"
#include "document_fixture.h"
#include "outline/icon_names.h"
#include "platform/translations.h"
#include "print/core/print_page.h"

#include <QDir>
#include <QLocale>
#include <QProcessEnvironment>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

// The user's language for the test's scope, its texts installed as the programs install them.
struct UserLanguage {
    explicit UserLanguage(const QString& name) {
        QLocale::setDefault(QLocale(name));
        installTranslations(QLocale());
    }
    ~UserLanguage() {
        QLocale::setDefault(QLocale::c());
        installTranslations(QLocale());
    }
};

// What each step below logs; a cell's edit names the cell by its stored key.
const QStringList kEnglishHistory{"item created", "set date due",   "set date due repeat",
                                  "set reminder", "notes",          "set category",
                                  "set category", "set completion", "completed"};
const QStringList kGermanHistory{"Eintrag angelegt",
                                 "Fälligkeitsdatum ändern",
                                 "Wiederholung der Fälligkeit ändern",
                                 "Erinnerung ändern",
                                 "Notizen",
                                 "Ändern von category",
                                 "Kategorie ändern",
                                 "Ändern von completion",
                                 "erledigt"};

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private slots:
    // Lists keep what was stored in the language of the one who stored it, word for word: another
    // program or a later version reads them back as they are.
    void storedTextsAreTheUsersLanguage_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("newName");
        QTest::addColumn<QStringList>("history");
        QTest::newRow("English") << "en_US"
                                 << "<new todo>" << kEnglishHistory;
        QTest::newRow("German") << "de_DE"
                                << "<neuer Eintrag>" << kGermanHistory;
        QTest::newRow("Austrian German") << "de_AT"
                                         << "<neuer Eintrag>" << kGermanHistory;
        QTest::newRow("French, not translated") << "fr_FR"
                                                << "<new todo>" << kEnglishHistory;
    }
    void storedTextsAreTheUsersLanguage() {
        QFETCH(QString, locale);
        QFETCH(QString, newName);
        QFETCH(QStringList, history);
        const UserLanguage language(locale);
        const DocumentTestStart start;
        OpenList list{newToDoItem()};
        const NodePtr item = list.at({0});
        QCOMPARE(nameOf(*item), newName);
        list.select({newName});
        InspectorCommands& inspector = list.document.inspectorCommands();
        inspector.calendarViewChanged(localTime(QStringLiteral("2024-03-12 09:30:00")));
        inspector.repeatCheckboxAction(true, 1);
        inspector.reminderCheckboxAction(true);
        list.document.cellEdits().commitNotes(item, notesBytes("call back"));
        list.type(item, Column::Category, QStringLiteral("Home"));
        list.document.itemCommands().categoryAction(QStringLiteral("Work"));
        list.type(item, Column::Completion, 1.0);
        QCOMPARE(historyMessages(*item), history);
    }

    // tardigo-cli stores what the window stores, in the language of the session it runs in.
    void theCommandLineStoresTheSessionsLanguage() {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("shopping.todo"));
        QProcessEnvironment german = QProcessEnvironment::systemEnvironment();
        german.remove(QStringLiteral("LC_ALL"));
        german.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        german.insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
        QCOMPARE(runCliWith({"new", path}, {}, german).exitCode, 0);
        QCOMPARE(runCliWith({"add", path, "Milch"}, {}, german).exitCode, 0);
        QCOMPARE(runCli({"add", path, "Eggs"}).exitCode, 0);
        const ListLoad load = readListFile(path);
        QVERIFY2(load.ok(), qPrintable(load.error));
        const ArrayPtr items = childrenOf(*load.root);
        QCOMPARE(historyMessages(*items->items.at(0).asDict()), QStringList{"Eintrag angelegt"});
        QCOMPARE(historyMessages(*items->items.at(1).asDict()), QStringList{"item created"});
    }

    // What the minder tells and mails, its texts given in English in the sources.
    void theMindersTextsReadTheSameInGerman() {
        const UserLanguage german(QStringLiteral("de_DE"));
        QCOMPARE(
            QCoreApplication::translate("NoticeDelivery", "%1\n\nItem: %2\nDue: %3\nComplete: %4\n"
                                                          "Category: %5\n\nNotes:\n%6\n\n-- \n"
                                                          "Sent by the Tardigo Minder.\n")
                .arg("a", "b", "c", "d", "e", "f"),
            QStringLiteral("a\n\nEintrag: b\nFällig: c\nErledigt: d\nKategorie: e\n\nNotizen:\nf\n\n-- \n"
                           "Gesendet vom Tardigo-Erinnerungsdienst.\n"));
        QCOMPARE(QCoreApplication::translate("ErrorReporter", "Tardigo Minder Error"),
                 QStringLiteral("Fehler im Tardigo-Erinnerungsdienst"));
    }

    // Every picture drawn for the icon list has a name of its own in English and in German; what is
    // not built in is named by its file, or by its words.
    void iconsAreNamedInWords() {
        const QStringList drawn = QDir(QStringLiteral(TARDIGO_SOURCE_DIR "/resources/icons"))
                                      .entryList({QStringLiteral("vk_*.svg")}, QDir::Files);
        QVERIFY(drawn.size() > 20);
        QSet<QString> english, german;
        for (const QString& file : drawn)
            english.insert(iconDisplayName(file.chopped(4)));
        {
            const UserLanguage germany(QStringLiteral("de_DE"));
            for (const QString& file : drawn)
                german.insert(iconDisplayName(file.chopped(4)));
            QCOMPARE(iconDisplayName(QStringLiteral("vk_red-bullet")), QStringLiteral("Roter Punkt"));
        }
        QCOMPARE(english.size(), drawn.size());
        QCOMPARE(german.size(), drawn.size());
        QVERIFY(!english.intersects(german));
        QCOMPARE(iconDisplayName(QStringLiteral("/home/anna/Pictures/Blue flag.png")),
                 QStringLiteral("Blue flag"));
        QCOMPARE(iconDisplayName(QStringLiteral("vk_from-a_newer-build")),
                 QStringLiteral("From a newer build"));
    }

    void printFooterIsGermanWithAGermanDate() {
        const UserLanguage germany(QStringLiteral("de_DE"));
        FixedClock clock(QDateTime(QDate(2025, 3, 4), QTime(9, 5)));
        QCOMPARE(pageFooterText(2, QStringLiteral("Einkauf")),
                 QStringLiteral("Seite 2    Einkauf    04.03.25 09:05"));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
