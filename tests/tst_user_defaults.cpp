#include "model/keys.h"
#include "platform/notification_center.h"
#include "platform/user_defaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;

class TestUserDefaults : public QObject {
    Q_OBJECT
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
    }

    void userValuesWinPersistAndSurviveRegistration() {
        QTemporaryDir dir;
        const QString file = dir.filePath("tardigo.conf");
        {
            UserDefaults defaults;
            defaults.useFile(file);
            registerTardigoDefaults(defaults);
            defaults.setInteger(pref::oldDays, 30);
            defaults.setBool(pref::autoSave, true);
            defaults.setStringArray(pref::tardigoMinderDocs, {"/tmp/a, b.todo", "/tmp/\"q\".todo"});
            DictPtr categories = Dict::create();
            categories->set("vk_heart", "Family");
            defaults.setObject(pref::todoItemIconCategories, categories);
            defaults.synchronize();
        }
        QVERIFY(QFile::exists(file));
        UserDefaults reopened;
        reopened.useFile(file);
        registerTardigoDefaults(reopened); // a new launch registers again: the user's values still win
        QCOMPARE(reopened.integerForKey(pref::oldDays), 30);
        QVERIFY(reopened.boolForKey(pref::autoSave));
        QCOMPARE(reopened.objectForKey(pref::autoSave).asNumber()->type, 'c');
        QCOMPARE(reopened.stringArrayForKey(pref::tardigoMinderDocs),
                 (QStringList{"/tmp/a, b.todo", "/tmp/\"q\".todo"}));
        QCOMPARE(*reopened.objectForKey(pref::todoItemIconCategories).asDict()->value("vk_heart").asString(),
                 QStringLiteral("Family"));
        reopened.removeObject(pref::oldDays);
        QCOMPARE(reopened.integerForKey(pref::oldDays), 90);
    }

    void notificationsReachEveryObserverSynchronously() {
        NotificationCenter center;
        QStringList calls;
        int owner1 = 0, owner2 = 0;
        center.addObserver(&owner1, notification::prefsChanged, [&](const QString&, const void*) {
            calls << "1";
            center.removeObserver(&owner2); // removed during delivery: not called any more
        });
        center.addObserver(&owner2, notification::prefsChanged, [&](const QString&, const void*) { calls << "2"; });
        center.addObserver(&owner2, notification::categoriesGlobal, [&](const QString&, const void* o) {
            calls << (o == &owner1 ? "g" : "?");
        });
        center.postNotification(notification::prefsChanged);
        QCOMPARE(calls, QStringList{"1"});
        center.postNotification(notification::categoriesGlobal, &owner1);
        QCOMPARE(calls, QStringList{"1"});
        center.removeObserver(&owner1);
        center.postNotification(notification::prefsChanged);
        QCOMPARE(calls, QStringList{"1"});
    }
};

QTEST_GUILESS_MAIN(TestUserDefaults)
#include "tst_user_defaults.moc"
