#include "model/keys.h"
#include "platform/ini_text.h"
#include "platform/settings.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;

namespace {

QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeText(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

DictPtr dictOf(std::initializer_list<std::pair<QString, Value>> entries) {
    DictPtr dict = Dict::create();
    for (const auto& [k, v] : entries)
        dict->set(k, v);
    return dict;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;

    QString path(const QString& name) const { return _dir.filePath(name); }

private slots:
    void theTableDefaultsReadBackOnAFreshAccount() {
        Settings settings;
        settings.useMemoryOnly();
        QCOMPARE(settings.drawerSide(), 2);
        QCOMPARE(settings.oldDays(), 90);
        QCOMPARE(settings.minderIntervalMinutes(), 15);
        QVERIFY(settings.minderAlertDialog());
        QVERIFY(!settings.minderAlertSound());
        QVERIFY(settings.categoriesLocalScope());
        const QStringList icons = settings.itemIcons();
        QCOMPARE(icons.size(), 29);
        QCOMPARE(icons.first(), QStringLiteral("vk_newitem"));
        QCOMPARE(icons.last(), QStringLiteral("vk_umbrella"));
        const DictPtr conditions = settings.value(pref::todoItemIconConditions).asDict();
        QCOMPARE(conditions->size(), 9);
        QCOMPARE(conditions->value("vk_time").asNumber()->toInt64(), 4);
        QVERIFY(settings.value(pref::lastDocumentSet).isNil());
        QCOMPARE(settings.frequentRepeatHours(), 0);
        QVERIFY(!settings.contains(pref::oldDays));
    }

    void userValuesPersistAsPlainIniAndWinOverDefaults() {
        const QString file = path("plain.ini");
        const QByteArray frame("\x01\x02\xff geometry", 12);
        {
            Settings settings;
            settings.useFile(file);
            settings.setValue(pref::oldDays, Value::integer(30));
            settings.setAutoSave(true);
            settings.setMinderLists({"/tmp/a, b.todo", "/tmp/\"q\".todo", "/tmp/c.todo"});
            settings.setMinderEmailAddress(" me@example.org\n");
            settings.setIconCategories(
                dictOf({{"vk_heart", "Family"}, {"/home/u/my icon.png", "Work, urgent"}}));
            settings.setIconConditions(Dict::create()); // every condition taken away
            settings.setWindowFrame("Errands.todo", frame);
            settings.sync();
        }
        const QString text = fileText(file);
        for (const char* line : {"autoSave=true", "oldDays=30",
                                 R"(tardigoMinderDocs="/tmp/a, b.todo", /tmp/"q".todo, /tmp/c.todo)",
                                 R"(minderEmailAddress=" me@example.org\n")", "[todoItemIconCategories]",
                                 "vk_heart=Family", "%2Fhome%2Fu%2Fmy%20icon.png=Work, urgent"})
            QVERIFY2(text.contains(QLatin1String(line)), line);
        QVERIFY(!text.contains("@Variant") && !text.contains("@ByteArray") && !text.contains('{'));

        Settings reopened;
        reopened.useFile(file);
        QCOMPARE(reopened.oldDays(), 30);
        const Value autoSave = reopened.value(pref::autoSave);
        QCOMPARE(autoSave.asNumber()->type, 'c');
        QCOMPARE(reopened.minderLists(), (QStringList{"/tmp/a, b.todo", "/tmp/\"q\".todo", "/tmp/c.todo"}));
        QCOMPARE(reopened.value(pref::minderEmailAddress), Value(" me@example.org\n"));
        QCOMPARE(reopened.value(pref::todoItemIconCategories),
                 Value(dictOf({{"vk_heart", "Family"}, {"/home/u/my icon.png", "Work, urgent"}})));
        QCOMPARE(reopened.value(pref::todoItemIconConditions).asDict()->size(), 0);
        QCOMPARE(reopened.value(pref::windowFramePrefix + "Errands.todo"), Value::data(frame));
        QVERIFY(reopened.contains(pref::oldDays));
        reopened.remove(pref::oldDays);
        QCOMPARE(reopened.oldDays(), 90);
    }

    void anyTextSurvivesTheFileAsItself() {
        const QStringList texts = {"",          " ",          "plain",
                                   "a, b",      "\"quoted\"", "back\\slash",
                                   "\\",        "two\nlines", " padded ",
                                   "tab\there", "ü €",        "=x=",
                                   "[g]",       "; note",     QString(QChar(0x01)) + "\x7f",
                                   "%2F",       "\"",         "a,"};
        ArrayPtr list = Array::create();
        DictPtr table = Dict::create();
        for (const QString& text : texts) {
            const std::optional<QString> written = iniText(Value(text), PreferenceKind::String);
            QVERIFY(written && !written->contains(u'\n'));
            QCOMPARE(valueFromIniText(*written, PreferenceKind::String), std::optional(Value(text)));
            list->items.emplace_back(text);
            table->set(text + "/name", text);
        }
        for (const auto& [value, kind] : {std::pair(Value(list), PreferenceKind::StringList),
                                          std::pair(Value(table), PreferenceKind::StringDictionary)}) {
            const std::optional<QString> written = iniText(value, kind);
            QVERIFY(written);
            QCOMPARE(valueFromIniText(*written, kind), std::optional(value));
        }
        QCOMPARE(valueFromIniText("\"unclosed", PreferenceKind::StringList), std::nullopt);
        QCOMPARE(valueFromIniText("\"a\" b", PreferenceKind::StringList), std::nullopt);
    }

    void aHandEditedFileIsReadAndItsMistakesFallBackToDefaults() {
        const QString file = path("hand.ini");
        writeText(file, "; my settings\n[General]\nautoSave = yes\noldDays=soon\ndrawerSide=0\n"
                        "categoriesGlobalList=Home, \"Work, paid\", \"say \\\"hi\\\"\"\n"
                        "someFutureSetting=42\n\n[todoItemIconConditions]\nvk_heart=8\nvk_pencil=x\n");
        Settings settings;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ignoring the preference oldDays = soon"));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("ignoring the preference todoItemIconConditions/vk_pencil"));
        settings.useFile(file);
        QVERIFY(settings.autoSave());
        QCOMPARE(settings.oldDays(), 90);
        QCOMPARE(settings.drawerSide(), 0);
        QCOMPARE(settings.globalCategories(), (QStringList{"Home", "Work, paid", "say \"hi\""}));
        QCOMPARE(settings.value("someFutureSetting"), Value::integer(42));
        QCOMPARE(settings.value(pref::todoItemIconConditions),
                 Value(dictOf({{"vk_heart", Value::integer(8)}})));
    }

    void aNumberOutOfItsRangeReadsAsItsDefaultAndIsNotSet() {
        // An interval that would overflow the minder's timer, none at all, a drawer side between
        // the two, a status code beyond the last, a font of no size, and the stored values that mean
        // "use the repeat's own hours": each reads as if it were not there.
        const QString file = path("ranges.ini");
        writeText(file,
                  "[General]\ntardigoMinderRunIntervalMin=9223372036854775807\noldDays=0\ndrawerSide=1\n"
                  "frequentRepeatHours=-5\ninfrequentHours=700\nNSFontSize=0\n\n"
                  "[todoItemIconConditions]\nvk_heart=12\nvk_pencil=6\n");
        Settings settings;
        for (const char* ignored : {"tardigoMinderRunIntervalMin", "oldDays", "drawerSide",
                                    "frequentRepeatHours", "NSFontSize", "todoItemIconConditions/vk_heart"})
            QTest::ignoreMessage(
                QtWarningMsg, QRegularExpression(QStringLiteral("ignoring the preference %1 ").arg(ignored)));
        settings.useFile(file);
        QCOMPARE(settings.minderIntervalMinutes(), 15);
        QCOMPARE(settings.oldDays(), 90);
        QCOMPARE(settings.drawerSide(), 2);
        QVERIFY(!settings.contains(pref::frequentRepeatHours));
        QCOMPARE(settings.infrequentRepeatHours(), 700);
        QVERIFY(settings.value(pref::userFontSize).isNil());
        QCOMPARE(settings.value(pref::todoItemIconConditions),
                 Value(dictOf({{"vk_pencil", Value::integer(6)}})));

        // Set from within, such a value leaves the preference at its default too.
        settings.setMinderIntervalMinutes(10080);
        QCOMPARE(settings.minderIntervalMinutes(), 10080);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("takes its default: the value given is out of"));
        settings.setMinderIntervalMinutes(0);
        QCOMPARE(settings.minderIntervalMinutes(), 15);
        QVERIFY(!settings.contains(pref::tardigoMinderRunIntervalMin));
    }

    void aValueOfTheWrongKindIsNeverConvertedIntoOne() {
        // Each of these QVariant would convert: "2" and "off" to true, "true" to a number.
        const QString file = path("kinds.ini");
        writeText(file, "[General]\nautoSave=2\nprintNotes=off\nminderAlertSound=on\noldDays=true\n"
                        "drawerSide=left\nminderEmailAddress=42\ntodoItemIcons=7\n");
        Settings settings;
        for (const char* ignored : {"autoSave = 2", "oldDays = true", "drawerSide = left"})
            QTest::ignoreMessage(
                QtWarningMsg, QRegularExpression(QStringLiteral("ignoring the preference %1").arg(ignored)));
        settings.useFile(file);
        QVERIFY(!settings.autoSave());
        QVERIFY(!settings.printNotes());
        QVERIFY(settings.minderAlertSound());
        QCOMPARE(settings.oldDays(), 90);
        QCOMPARE(settings.drawerSide(), 2);
        QCOMPARE(settings.minderEmailAddress(), QStringLiteral("42"));
        QCOMPARE(settings.itemIcons(), QStringList{"7"});

        // Set from within as another kind (as a tool or an old file's value might be): a boolean
        // is true only for a number that is not zero, and nothing else reads across kinds.
        settings.useMemoryOnly();
        settings.setValue(pref::autoSave, Value("true"));
        QVERIFY(!settings.autoSave());
        settings.setValue(pref::autoSave, Value::float32(0.25));
        QVERIFY(settings.autoSave());
        settings.setValue(pref::minderAlertDialog, Value::integer(0));
        QVERIFY(!settings.minderAlertDialog());
        settings.setValue(pref::oldDays, Value("30"));
        QCOMPARE(settings.oldDays(), 0);
        settings.setValue(pref::minderSendmailPath, Value::integer(1));
        QCOMPARE(settings.minderSendmailPath(), QString());
        settings.setValue(pref::todoItemIcons, Value("vk_heart"));
        QVERIFY(settings.itemIcons().isEmpty());
        settings.setValue(pref::todoItemIconConditions, Value::integer(3));
        QVERIFY(!settings.iconConditions());
        settings.setValue(pref::userFontSize, Value("12"));
        QVERIFY(!settings.userFontSize());
    }

    void aFileOfEarlierBuildsIsMigrated() {
        const QString legacy = path("tardigo.ini"), migrated = path("preferences.ini");
        {
            // What earlier builds wrote: JSON text in every value.
            QSettings old(legacy, QSettings::IniFormat);
            old.setValue(pref::autoSave, "true");
            old.setValue(pref::oldDays, "30");
            old.setValue(pref::tardigoMinderDocs, R"(["/tmp/a, b.todo"])");
            old.setValue(pref::todoItemIconCategories, R"({"vk_heart":"Family"})");
            old.setValue(pref::minderEmailAddress, R"("me@example.org")");
            old.setValue(pref::windowFramePrefix + "Errands.todo", R"({"$data":"AQL/"})");
        }
        QVERIFY(Settings::migrateLegacySettings(legacy, migrated));
        QVERIFY(!QFile::exists(legacy));
        QVERIFY(QFile::exists(legacy + ".old"));
        QVERIFY(!Settings::migrateLegacySettings(legacy + ".old", migrated)); // once only

        Settings settings;
        settings.useFile(migrated);
        QVERIFY(settings.autoSave());
        QCOMPARE(settings.oldDays(), 30);
        QCOMPARE(settings.minderLists(), QStringList{"/tmp/a, b.todo"});
        QCOMPARE(settings.value(pref::todoItemIconCategories), Value(dictOf({{"vk_heart", "Family"}})));
        QCOMPARE(settings.value(pref::minderEmailAddress), Value("me@example.org"));
        QCOMPARE(settings.value(pref::windowFramePrefix + "Errands.todo"),
                 Value::data(QByteArray("\x01\x02\xff")));
        QVERIFY(fileText(migrated).contains("oldDays=30"));
    }

    void anotherWritersChangeIsPickedUpAndMerged() {
        const QString file = path("shared.ini");
        Settings running, tool;
        running.useFile(file);
        tool.useFile(file);
        running.setValue(pref::oldDays, Value::integer(10));
        running.sync();
        QVERIFY(!running.reload());
        tool.reload();
        tool.setAutoSave(true);
        tool.sync();
        QVERIFY(running.reload());
        QVERIFY(running.autoSave());
        QCOMPARE(running.oldDays(), 10);
        QVERIFY(!running.reload());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
