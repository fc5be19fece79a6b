#include "model/keys.h"
#include "platform/ini_text.h"
#include "platform/user_defaults.h"

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

class TestUserDefaults : public QObject {
    Q_OBJECT
    QTemporaryDir _dir;

    QString path(const QString& name) const { return _dir.filePath(name); }

private slots:
    void registeredDefaultsReadBackOnAFreshAccount() {
        UserDefaults defaults;
        defaults.useMemoryOnly();
        registerTardigoDefaults(defaults);
        QCOMPARE(defaults.integerForKey(pref::drawerSide), 2);
        QCOMPARE(defaults.integerForKey(pref::oldDays), 90);
        QCOMPARE(defaults.integerForKey(pref::tardigoMinderRunIntervalMin), 15);
        QVERIFY(defaults.boolForKey(pref::minderAlertDialog));
        QVERIFY(!defaults.boolForKey(pref::minderAlertSound));
        QVERIFY(defaults.boolForKey(pref::categoriesLocalScope));
        const QStringList icons = defaults.stringArrayForKey(pref::todoItemIcons);
        QCOMPARE(icons.size(), 29);
        QCOMPARE(icons.first(), QStringLiteral("vk_newitem"));
        QCOMPARE(icons.last(), QStringLiteral("vk_umbrella"));
        const DictPtr conditions = defaults.objectForKey(pref::todoItemIconConditions).asDict();
        QCOMPARE(conditions->size(), 9);
        QCOMPARE(conditions->value("vk_time").asNumber()->toInt64(), 4);
        QVERIFY(defaults.objectForKey(pref::lastDocumentSet).isNil());
        QCOMPARE(defaults.integerForKey(pref::frequentRepeatHours), 0);
        QVERIFY(!defaults.isSetByUser(pref::oldDays));
    }

    void userValuesPersistAsPlainIniAndWinOverDefaults() {
        const QString file = path("plain.ini");
        const QByteArray frame("\x01\x02\xff geometry", 12);
        {
            UserDefaults defaults;
            defaults.useFile(file);
            registerTardigoDefaults(defaults);
            defaults.setInteger(pref::oldDays, 30);
            defaults.setBool(pref::autoSave, true);
            defaults.setStringArray(pref::tardigoMinderDocs,
                                    {"/tmp/a, b.todo", "/tmp/\"q\".todo", "/tmp/c.todo"});
            defaults.setObject(pref::minderEmailAddress, " me@example.org\n");
            defaults.setObject(pref::todoItemIconCategories,
                               dictOf({{"vk_heart", "Family"}, {"/home/u/my icon.png", "Work, urgent"}}));
            defaults.setObject(pref::todoItemIconConditions, Dict::create()); // every condition taken away
            defaults.setObject(pref::windowFramePrefix + "Errands.todo", Value::data(frame));
            defaults.synchronize();
        }
        const QString text = fileText(file);
        for (const char* line : {"autoSave=true", "oldDays=30",
                                 R"(tardigoMinderDocs="/tmp/a, b.todo", /tmp/"q".todo, /tmp/c.todo)",
                                 R"(minderEmailAddress=" me@example.org\n")", "[todoItemIconCategories]",
                                 "vk_heart=Family", "%2Fhome%2Fu%2Fmy%20icon.png=Work, urgent"})
            QVERIFY2(text.contains(QLatin1String(line)), line);
        QVERIFY(!text.contains("@Variant") && !text.contains("@ByteArray") && !text.contains('{'));

        UserDefaults reopened;
        reopened.useFile(file);
        registerTardigoDefaults(reopened); // a new launch registers again: the user's values still win
        QCOMPARE(reopened.integerForKey(pref::oldDays), 30);
        const Value autoSave = reopened.objectForKey(pref::autoSave);
        QCOMPARE(autoSave.asNumber()->type, 'c');
        QCOMPARE(reopened.stringArrayForKey(pref::tardigoMinderDocs),
                 (QStringList{"/tmp/a, b.todo", "/tmp/\"q\".todo", "/tmp/c.todo"}));
        QCOMPARE(reopened.objectForKey(pref::minderEmailAddress), Value(" me@example.org\n"));
        QCOMPARE(reopened.objectForKey(pref::todoItemIconCategories),
                 Value(dictOf({{"vk_heart", "Family"}, {"/home/u/my icon.png", "Work, urgent"}})));
        QCOMPARE(reopened.objectForKey(pref::todoItemIconConditions).asDict()->size(), 0);
        QCOMPARE(reopened.objectForKey(pref::windowFramePrefix + "Errands.todo"), Value::data(frame));
        QVERIFY(reopened.isSetByUser(pref::oldDays));
        reopened.removeObject(pref::oldDays);
        QCOMPARE(reopened.integerForKey(pref::oldDays), 90);
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
        UserDefaults defaults;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("ignoring the preference oldDays = soon"));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("ignoring the preference todoItemIconConditions/vk_pencil"));
        defaults.useFile(file);
        registerTardigoDefaults(defaults);
        QVERIFY(defaults.boolForKey(pref::autoSave));
        QCOMPARE(defaults.integerForKey(pref::oldDays), 90);
        QCOMPARE(defaults.integerForKey(pref::drawerSide), 0);
        QCOMPARE(defaults.stringArrayForKey(pref::categoriesGlobalList),
                 (QStringList{"Home", "Work, paid", "say \"hi\""}));
        QCOMPARE(defaults.integerForKey("someFutureSetting"), 42);
        QCOMPARE(defaults.objectForKey(pref::todoItemIconConditions),
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
        UserDefaults defaults;
        for (const char* ignored : {"tardigoMinderRunIntervalMin", "oldDays", "drawerSide",
                                    "frequentRepeatHours", "NSFontSize", "todoItemIconConditions/vk_heart"})
            QTest::ignoreMessage(
                QtWarningMsg, QRegularExpression(QStringLiteral("ignoring the preference %1 ").arg(ignored)));
        defaults.useFile(file);
        registerTardigoDefaults(defaults);
        QCOMPARE(defaults.integerForKey(pref::tardigoMinderRunIntervalMin), 15);
        QCOMPARE(defaults.integerForKey(pref::oldDays), 90);
        QCOMPARE(defaults.integerForKey(pref::drawerSide), 2);
        QVERIFY(!defaults.isSetByUser(pref::frequentRepeatHours));
        QCOMPARE(defaults.integerForKey(pref::infrequentHours), 700);
        QVERIFY(defaults.objectForKey(pref::userFontSize).isNil());
        QCOMPARE(defaults.objectForKey(pref::todoItemIconConditions),
                 Value(dictOf({{"vk_pencil", Value::integer(6)}})));

        // Set from within, such a value leaves the preference at its default too.
        defaults.setInteger(pref::tardigoMinderRunIntervalMin, 10080);
        QCOMPARE(defaults.integerForKey(pref::tardigoMinderRunIntervalMin), 10080);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("takes its default: the value given is out of"));
        defaults.setInteger(pref::tardigoMinderRunIntervalMin, 0);
        QCOMPARE(defaults.integerForKey(pref::tardigoMinderRunIntervalMin), 15);
        QVERIFY(!defaults.isSetByUser(pref::tardigoMinderRunIntervalMin));
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
        QVERIFY(UserDefaults::migrateLegacySettings(legacy, migrated));
        QVERIFY(!QFile::exists(legacy));
        QVERIFY(QFile::exists(legacy + ".old"));
        QVERIFY(!UserDefaults::migrateLegacySettings(legacy + ".old", migrated)); // once only

        UserDefaults defaults;
        defaults.useFile(migrated);
        QVERIFY(defaults.boolForKey(pref::autoSave));
        QCOMPARE(defaults.integerForKey(pref::oldDays), 30);
        QCOMPARE(defaults.stringArrayForKey(pref::tardigoMinderDocs), QStringList{"/tmp/a, b.todo"});
        QCOMPARE(defaults.objectForKey(pref::todoItemIconCategories),
                 Value(dictOf({{"vk_heart", "Family"}})));
        QCOMPARE(defaults.objectForKey(pref::minderEmailAddress), Value("me@example.org"));
        QCOMPARE(defaults.objectForKey(pref::windowFramePrefix + "Errands.todo"),
                 Value::data(QByteArray("\x01\x02\xff")));
        QVERIFY(fileText(migrated).contains("oldDays=30"));
    }

    void anotherWritersChangeIsPickedUpAndMerged() {
        const QString file = path("shared.ini");
        UserDefaults running, tool;
        running.useFile(file);
        tool.useFile(file);
        running.setInteger(pref::oldDays, 10);
        running.synchronize();
        QVERIFY(!running.reload());
        tool.reload();
        tool.setBool(pref::autoSave, true);
        tool.synchronize();
        QVERIFY(running.reload());
        QVERIFY(running.boolForKey(pref::autoSave));
        QCOMPARE(running.integerForKey(pref::oldDays), 10);
        QVERIFY(!running.reload());
    }
};

QTEST_GUILESS_MAIN(TestUserDefaults)
#include "tst_user_defaults.moc"
