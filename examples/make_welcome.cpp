// Writes examples/welcome.todo, the list that scripts/run opens: run it after changing the example.
#include "archive/list_file.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/new_item.h"
#include "rich_text/notes_text.h"

#include <QCoreApplication>

#include <cstdio>

using namespace tardigo;

namespace {

const QDateTime kCreated(QDate(2026, 11, 20), QTime(9, 30), Qt::OffsetFromUTC, 3600);

NodePtr item(const Dict& parent, const QString& name, const QString& category = {}) {
    NodePtr node = newToDoItem();
    node->set(key::name, name);
    if (!category.isEmpty())
        node->set(key::category, category);
    childrenOf(parent)->items.push_back(node);
    return node;
}

void setDue(Dict& node, const QDate& date, const QTime& time, int period = 0) {
    node.set(key::due, storedDateString(QDateTime(date, time, Qt::OffsetFromUTC, 3600)));
    node.set(key::dateDueRepeatPeriod, Value::integer(period));
}

void setNotes(Dict& node, const QString& text, bool boldFirstLine) {
    std::vector<TextRun> runs;
    const qsizetype firstBreak = text.indexOf(u'\n');
    TextRun first;
    first.text = firstBreak < 0 ? text : text.left(firstBreak + 1);
    first.bold = boldFirstLine;
    runs.push_back(first);
    if (firstBreak >= 0) {
        TextRun rest;
        rest.text = text.mid(firstBreak + 1);
        runs.push_back(rest);
    }
    node.set(key::notes, Value::data(encodeNotes(RichText::fromRuns(std::move(runs)))));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: make_welcome OUT.todo\n");
        return 2;
    }
    Clock::setFixed(kCreated);
    NodePtr root = newListRoot();
    root->set(key::beta1DateFixedUp, Value::boolean(true)); // opens unchanged

    NodePtr welcome = item(*root, QStringLiteral("Welcome to Tardigo"));
    setNotes(*welcome,
             QStringLiteral("Tardigo keeps your lists as outlines.\nClick a name to rename it, give items a "
                            "category and a due date, and tick them off when they are done."),
             true);
    item(*welcome, QStringLiteral("Click the icon twice to mark an item done"));
    NodePtr nested = item(*welcome, QStringLiteral("Items can hold items"));
    item(*nested, QStringLiteral("as deep as you like"));

    NodePtr home = item(*root, QStringLiteral("Home"), QStringLiteral("Home"));
    NodePtr bins = item(*home, QStringLiteral("Put the bins out"), QStringLiteral("Home"));
    setDue(*bins, QDate(2026, 12, 8), QTime(19, 0), 2); // every week
    NodePtr plants = item(*home, QStringLiteral("Water the plants"), QStringLiteral("Garden"));
    setDue(*plants, QDate(2026, 12, 4), QTime(8, 0), 10); // every two weeks
    NodePtr boiler = item(*home, QStringLiteral("Book the boiler service"), QStringLiteral("Home"));
    boiler->set(key::completion, Value::boolean(true));
    boiler->set(key::dateCompleted, storedDateString(kCreated.addDays(2)));
    appendToLog(*boiler, QStringLiteral("completed"));

    NodePtr work = item(*root, QStringLiteral("Work"), QStringLiteral("Work"));
    NodePtr report = item(*work, QStringLiteral("Quarterly report"), QStringLiteral("Work"));
    setDue(*report, QDate(2027, 1, 15), QTime(17, 0), 11); // every quarter
    report->set(key::completion, Value::float32(0.4));
    setNotes(*report, QStringLiteral("Figures from finance first.\nDraft to Maria by the 10th."), false);
    NodePtr dentist = item(*root, QStringLiteral("Dentist appointment"), QStringLiteral("Health"));
    setDue(*dentist, QDate(2026, 12, 16), QTime(10, 15));

    const QString error = writeListFile(QString::fromLocal8Bit(argv[1]), root);
    if (!error.isEmpty()) {
        fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
