// A folder of the to-dos that the calendar programs people use write, each in its own form: read as
// their users see them, left alone by a first sync, and written back after changes here with only
// those changes, property by property.
#include "sync_fixture.h"

#include "ical/todo_import.h"
#include "minder/notice_moment.h"
#include "model/item_codes.h"
#include "model/stored_date.h"
#include "rich_text/notes_text.h"

#include <QDirIterator>
#include <QMap>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const QString kClients = QStringLiteral(TARDIGO_TEST_DATA_DIR "/clients");

/// Every fixture, by its file name, with the bytes its client wrote.
QMap<QString, QByteArray> clientFiles() {
    QMap<QString, QByteArray> files;
    QDirIterator it(kClients, {QStringLiteral("*.ics")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QFileInfo(path).fileName(), fileBytes(path));
    }
    return files;
}

/// Each content line of the text, unfolded, under the path of the component it stands in
/// ("VCALENDAR/VTODO#1/VALARM#2": the second VALARM of the first VTODO).
QMap<QString, QStringList> propertiesOf(const QByteArray& text) {
    QMap<QString, QStringList> properties;
    QStringList path;
    QMap<QString, int> seen; // path of a component, and how many came under it so far
    QByteArray unfolded = text;
    unfolded.replace("\r\n", "\n").replace("\n ", "").replace("\n\t", "");
    for (const QByteArray& line : unfolded.split('\n')) {
        if (line.isEmpty())
            continue;
        const QString content = QString::fromUtf8(line);
        if (content.startsWith(QLatin1String("BEGIN:"))) {
            const QString parent = path.join(u'/');
            const QString name = content.mid(6);
            path << name + u'#' + QString::number(++seen[parent + u'/' + name]);
            properties[path.join(u'/')];
        } else if (content.startsWith(QLatin1String("END:"))) {
            path.removeLast();
        } else {
            properties[path.join(u'/')] << content;
        }
    }
    for (QStringList& lines : properties)
        lines.sort();
    return properties;
}

QString propertyName(const QString& line) {
    static const QRegularExpression parameterOrValue(QStringLiteral("[;:]"));
    return line.section(parameterOrValue, 0, 0);
}

/// The names of the properties in which the two texts differ, and of the components one has and
/// the other lacks.
QSet<QString> differences(const QByteArray& before, const QByteArray& after) {
    const QMap<QString, QStringList> was = propertiesOf(before), is = propertiesOf(after);
    QSet<QString> names;
    const QSet<QString> paths =
        QSet<QString>(was.keyBegin(), was.keyEnd()) + QSet<QString>(is.keyBegin(), is.keyEnd());
    for (const QString& path : paths) {
        if (!was.contains(path) || !is.contains(path)) {
            names.insert(path.section(u'/', -1).section(u'#', 0, 0));
            continue;
        }
        QStringList gone = was[path], come = is[path];
        for (const QString& line : was[path])
            if (come.removeOne(line))
                gone.removeOne(line);
        for (const QString& line : gone + come)
            names.insert(propertyName(line));
    }
    return names;
}

/// Every item as a line, its children indented under it, in the list's order.
QStringList outline(const Dict& root) {
    QStringList lines;
    std::unordered_map<const Dict*, int> depth{{&root, 0}};
    forEachItemBelow(root, [&](const NodePtr& item, const Dict& parent, qsizetype) {
        depth[item.get()] = depth[&parent] + 1;
        lines << QString((depth[item.get()] - 1) * 2, u' ') + stringOf(*item, key::name);
    });
    return lines;
}

// In the order of their sort orders, else of their creation, as the clients that share an order
// show them.
const QStringList kOutline{
    "Pay the rent",
    "Plan the summer party",
    "  Borrow a grill",
    "  Send the invitations",
    "Water the balcony plants",
    "Tax return 2023",
    "Read the lease contract",
    "Change the water filter",
    "Pick up the bike",
    "Trip to Lisbon",
    "  Book the flight",
    "  Renew the passport",
    "Register for the workshop",
    "Move to the new flat",
    "  Hand over the old keys",
    "  Order the moving boxes",
    "Call the landlord",
    "Renew the car insurance",
    "Send the quote to Hansen & Co.",
    "Call the dentist",
    "Groceries",
    "  Oat milk",
    "  Coffee beans",
    "  Bread",
};

NodePtr named(const Dict& root, const char* name) {
    const NodePtr item = findItem(root, QString::fromUtf8(name));
    if (!item)
        qFatal("no item %s", name);
    return item;
}

/// A folder of every client's to-dos, synced once with a new list.
class ClientsFolder : public SyncedPair {
public:
    ClientsFolder() {
        for (auto it = _files.cbegin(); it != _files.cend(); ++it)
            writeFile(it.key(), it.value());
    }
    const QMap<QString, QByteArray>& originals() const { return _files; }

private:
    QMap<QString, QByteArray> _files = clientFiles();
};

} // namespace

class TestSyncClients : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        startCalendarTest();
        QVERIFY(clientFiles().size() >= 20);
    }

    // What each client's user sees arrives: the trees in each form, in each client's order; and a
    // sync of what nobody changed writes nothing, the first one neither.
    void theFirstSyncWritesNothing() {
        ClientsFolder folder;
        const SyncReport first = folder.sync(kFirstSync);
        QVERIFY2(first.ok() && first.problems.isEmpty(),
                 qPrintable(first.summary() + first.problems.join(u' ')));
        QCOMPARE(first.filesWritten, 0);
        QCOMPARE(outline(*folder.root()), kOutline);
        for (auto it = folder.originals().cbegin(); it != folder.originals().cend(); ++it)
            QVERIFY2(folder.bytesOf(it.key()) == it.value(), qPrintable(it.key()));
        const SyncReport second = folder.sync(kSecondSync);
        QVERIFY(second.ok() && !second.listChanged);
        QCOMPARE(second.filesWritten + second.filesRemoved, 0);
    }

    // Each value as its client's user meant it.
    void whatEachClientMeant() {
        ClientsFolder folder;
        QVERIFY(folder.sync(kFirstSync).ok());
        const NodePtr root = folder.root();
        const Value yes = Value::boolean(true), no = Value::boolean(false);

        // Apple Reminders: the timed alarm is the reminder, the one at a place is not; a day
        // without a time is due at its end; an alarm acknowledged on the phone does not come again.
        const NodePtr bike = named(*root, "Pick up the bike");
        QCOMPARE(bike->value(key::due), Value("2024-06-03 09:00:00 +0200"));
        QCOMPARE(bike->value(key::reminderMarkNow), yes);
        QCOMPARE(reminderMoment(*bike, 0),
                 localTime(QStringLiteral("2024-06-03 08:30:00")).toMSecsSinceEpoch());
        QCOMPARE(named(*root, "Renew the passport")->value(key::due), Value("2024-06-14 23:59:00 +0200"));
        QCOMPARE(named(*root, "Book the flight")->value(key::dateCompleted),
                 Value("2024-05-29 21:45:02 +0200"));
        const NodePtr dentist = named(*root, "Call the dentist");
        QCOMPARE(dentist->value(key::reminderSet), yes);
        QCOMPARE(reminderMoment(*dentist, kFirstSync.toMSecsSinceEpoch()), std::nullopt);

        // Thunderbird: one item for the repeating task and its moved occurrence; an alarm 15
        // minutes before the due date.
        QCOMPARE(outline(*root).filter(QStringLiteral("balcony")).size(), 1);
        const NodePtr plants = named(*root, "Water the balcony plants");
        QCOMPARE(plants->value(key::dateDueRepeatPeriod), Value::integer(WeeklyPeriod));
        QCOMPARE(plants->value(key::reminderMarkDueDate), yes);
        QCOMPARE(reminderIntervalForNode(*plants), 15 * 60.0);
        const NodePtr taxes = named(*root, "Tax return 2023");
        QCOMPARE(taxes->value(key::due), Value("2024-07-31 17:00:00 +0200"));
        QCOMPARE(taxes->value(key::completion), Value::float32(0.4));

        // Nextcloud Tasks: stamps without their "Z" are UTC, as iCalendar holds them.
        const NodePtr party = named(*root, "Plan the summer party");
        QCOMPARE(party->value(key::dateCreated), Value("2024-05-10 12:00:00 +0200"));
        QCOMPARE(party->value(key::due), Value("2024-06-29 23:59:00 +0200"));
        QCOMPARE(party->value(key::category), Value("Family,Party"));

        // Synology: the to-do with a line of its own arrives.
        QCOMPARE(named(*root, "Renew the car insurance")->value(key::due),
                 Value("2024-06-15 12:00:00 +0200"));

        // eM Client: a zone by its Windows name; a cancelled task is done and reminds of nothing.
        QCOMPARE(named(*root, "Send the quote to Hansen & Co.")->value(key::due),
                 Value("2024-06-05 12:00:00 +0200"));
        const NodePtr workshop = named(*root, "Register for the workshop");
        QCOMPARE(workshop->value(key::completion), Value::float32(1));
        QCOMPARE(workshop->value(key::reminderSet).asNumber() ? workshop->value(key::reminderSet) : no, no);

        // Planify gives no creation: the to-do's stamp stands for it, the same in every list.
        QCOMPARE(named(*root, "Move to the new flat")->value(key::dateCreated),
                 Value("2024-05-30 21:52:55 +0200"));

        // tasks.org: a monthly rule on the due date's day, an alarm at the due date.
        const NodePtr rent = named(*root, "Pay the rent");
        QCOMPARE(rent->value(key::dateDueRepeatPeriod), Value::integer(MonthlyByDayNumberPeriod));
        QCOMPARE(rent->value(key::reminderMarkDueDate), yes);
        QCOMPARE(reminderIntervalForNode(*rent), 0.0);
    }

    // The done-when of it all: after changes here, each to-do written back differs from what its
    // client wrote only in what the user changed, and in SEQUENCE, DTSTAMP and LAST-MODIFIED; the
    // others are not written.
    void writtenBackWithOnlyTheChanges() {
        ClientsFolder folder;
        QVERIFY(folder.sync(kFirstSync).ok());
        const QDateTime later = localTime(QStringLiteral("2024-06-05 10:00:00"));
        // file, and the properties the change here makes differ
        QMap<QString, QSet<QString>> changed{
            {"syno-insurance.ics", {"SUMMARY", "DESCRIPTION"}}, // and the alarm's text, which was its name
            {"5C1A9E33-8B12-4F0A-9A3E-2B7D1C4E6F01.ics", {"TRIGGER", "X-TARDIGO-REMINDER"}},
            {"a7c41e90-22f5-4d0b-b3a8-6e1f0d2c9b47.ics", {"DUE"}},
            {"3f2b9c1e-7d44-4b6a-a1e2-9c0d5e8f7a61.ics", {"SUMMARY"}},
            {"nc-party.ics", {"STATUS", "PERCENT-COMPLETE", "COMPLETED"}},
            {"nc-invites.ics", {"DUE"}},
            {"em-quote.ics", {"CATEGORIES"}},
            {"9A1B2C3D-0003-4E5F-8A9B-PLANIFY00003.ics", {"X-APPLE-SORT-ORDER"}},
            {"9A1B2C3D-0001-4E5F-8A9B-PLANIFY00001.ics", {"RELATED-TO"}},
            {"9A1B2C3D-0004-4E5F-8A9B-PLANIFY00004.ics", {"VALARM", "X-TARDIGO-REMINDER"}},
            {"7744326411349569344.ics", {"X-APPLE-SORT-ORDER"}},
            {"B3F1A6C8-9D2E-4A7B-8C5D-3E4F5A6B7C81.ics", {"DESCRIPTION", "X-TARDIGO-NOTES"}},
        };
        folder.editList(later, [&](const NodePtr& root) {
            rename(*root, QStringLiteral("Renew the car insurance"),
                   QStringLiteral("Renew the car insurance (Allianz)"));
            const NodePtr bike = named(*root, "Pick up the bike");
            bike->set(key::reminderMark,
                      Date{referenceSecondsFromDateTime(localTime(QStringLiteral("2024-06-03 07:44:00")))});
            bike->set(key::reminderTimeLength, Value::float32(1));
            named(*root, "Tax return 2023")->set(key::due, QStringLiteral("2024-08-15 17:00:00 +0200"));
            rename(*root, QStringLiteral("Water the balcony plants"), QStringLiteral("Water the plants"));
            const NodePtr party = named(*root, "Plan the summer party");
            party->set(key::completion, Value::float32(1));
            party->set(key::dateCompleted, QStringLiteral("2024-06-05 10:00:00 +0200"));
            named(*root, "Send the invitations")->set(key::due, QStringLiteral("2024-06-09 23:59:00 +0200"));
            named(*root, "Send the quote to Hansen & Co.")->set(key::category, QStringLiteral("Work,Sales"));
            // The old keys go to the top level, after the landlord's call.
            const NodePtr keys = named(*root, "Hand over the old keys");
            deleteItemFromTree(root, keys.get());
            std::vector<Value>& top = childrenOf(*root)->items;
            const auto landlord = std::find_if(top.begin(), top.end(), [](const Value& v) {
                return stringOf(*v.asDict(), key::name) == QLatin1String("Call the landlord");
            });
            top.insert(landlord + 1, keys);
            const NodePtr call = named(*root, "Call the landlord");
            call->set(key::reminderSet, Value::boolean(true));
            call->set(key::reminderMarkNow, Value::boolean(true));
            call->set(key::reminderTimeUnit, Value::integer(ReminderMinutes));
            call->set(key::reminderTimeLength, Value::float32(0));
            call->set(key::reminderMark,
                      Date{referenceSecondsFromDateTime(localTime(QStringLiteral("2024-06-06 18:00:00")))});
            // Bread first.
            std::vector<Value>& groceries = childrenOf(*named(*root, "Groceries"))->items;
            std::rotate(groceries.begin(), groceries.end() - 1, groceries.end());
            TextRun run;
            run.text = QStringLiteral("Photo booth at the town hall");
            named(*root, "Renew the passport")
                ->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({run}))));
        });
        const SyncReport report = folder.sync(later.addSecs(60));
        QVERIFY2(report.ok(), qPrintable(report.summary() + report.writeFailures.join(u' ')));
        QCOMPARE(report.filesWritten, changed.size());
        const QSet<QString> stamps{"SEQUENCE", "DTSTAMP", "LAST-MODIFIED"};
        for (auto it = folder.originals().cbegin(); it != folder.originals().cend(); ++it) {
            const QByteArray now = folder.bytesOf(it.key());
            if (!changed.contains(it.key())) {
                QVERIFY2(now == it.value(), qPrintable(it.key() + QStringLiteral(" was written")));
                continue;
            }
            const QSet<QString> differ = differences(it.value(), now) - stamps;
            QVERIFY2(differ == changed[it.key()],
                     qPrintable(it.key() + u' ' + QStringList(differ.begin(), differ.end()).join(u',') +
                                u'\n' + QString::fromUtf8(now)));
            QVERIFY2(differences(it.value(), now).contains(QStringLiteral("SEQUENCE")), qPrintable(it.key()));
        }
        // What stays of the Apple alarms: the managed one moved in place, the one at a place as it was.
        const QByteArray bike = folder.bytesOf(QStringLiteral("5C1A9E33-8B12-4F0A-9A3E-2B7D1C4E6F01.ics"));
        QVERIFY2(
            bike.contains("X-WR-ALARMUID:0D8B4F7A-2C1E-4E55-9B0A-6E3F2D1C5A77\r\nUID:0D8B4F7A-2C1E-4E55-9B0A-"
                          "6E3F2D1C5A77\r\nTRIGGER;VALUE=DATE-TIME:20240603T054500Z"),
            bike.constData());
        QVERIFY(folder.bytesOf(QStringLiteral("nc-invites.ics")).contains("DUE;VALUE=DATE:20240609\r\n"));
        QVERIFY(
            folder.bytesOf(QStringLiteral("syno-insurance.ics")).contains("LAST-MOD:20240529T121530Z\r\n"));
        QCOMPARE(outline(*folder.root()).filter(QStringLiteral("keys")),
                 QStringList{"Hand over the old keys"});

        const SyncReport again = folder.sync(later.addSecs(120));
        QVERIFY(again.ok() && !again.listChanged);
        QCOMPARE(again.filesWritten, 0);
    }

    // An import takes what it can read and says, by file and line, what it left out.
    void anImportSaysWhatItLeftOut() {
        const QString path = kClients + QStringLiteral("/synology/syno-insurance.ics");
        const CalendarRead read = readCalendar(fileBytes(path), path);
        QVERIFY2(read.ok(), qPrintable(read.error));
        const NodePtr root = newListRoot();
        const TodoImport imported = importTodos(*root, read, path);
        QCOMPARE(imported.added, 1);
        QCOMPARE(
            imported.leftOut,
            QStringList{path + QStringLiteral(", line 8: libical cannot read “LAST-MOD:20240529T121530Z”.")});
        QCOMPARE(named(*root, "Renew the car insurance")->value(key::reminderSet), Value::boolean(true));
    }
};

QTEST_GUILESS_MAIN(TestSyncClients)
#include "tst_sync_clients.moc"
