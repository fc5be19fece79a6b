#include "support/list_generator.h"

#include "archive/list_file.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "rich_text/notes_text.h"

#include <random>

namespace tardigo::bench {

namespace {

const char* const kCategories[] = {"Work",    "Home",   "Errands", "Garden", "Finance", "Health",
                                   "Reading", "Travel", "Family",  "Car",    "Music",   "Projects"};
const char* const kWords[] = {"call", "buy",   "write", "plan",  "fix",   "check",  "book", "send",
                              "read", "clean", "renew", "order", "paint", "review", "pay",  "visit"};
const char* const kThings[] = {"the report",   "milk and bread", "a letter to Anna", "the holiday",
                               "the bike",     "the tax forms",  "tickets",          "the invoice",
                               "chapter four", "the garage",     "the insurance",    "new filters",
                               "the fence",    "the draft",      "the phone bill"};
const char* const kMessages[] = {"set name", "set category", "set due", "set completion", "notes"};

QByteArray notesFor(std::mt19937& random, int index) {
    TextRun run;
    run.text = QStringLiteral("Notes for item %1: remember to %2 %3 before the weekend.\nSecond line.")
                   .arg(index)
                   .arg(QString::fromLatin1(kWords[random() % std::size(kWords)]),
                        QString::fromLatin1(kThings[random() % std::size(kThings)]));
    return encodeNotes(RichText::fromRuns({run}));
}

NodePtr makeItem(std::mt19937& random, int index, const QDateTime& base) {
    NodePtr node = Dict::create();
    const QDateTime created = base.addSecs(-qint64(index) * 97);
    node->set(key::dateCreated, storedDateString(created));
    node->set(key::name, QStringLiteral("%1 %2 #%3")
                             .arg(QString::fromLatin1(kWords[random() % std::size(kWords)]),
                                  QString::fromLatin1(kThings[random() % std::size(kThings)]))
                             .arg(index));
    const int state = int(random() % 4);
    node->set(key::completion, state == 0 ? Value::boolean(true) : Value::float32(state == 1 ? 0.5 : 0.0));
    ArrayPtr history = Array::create();
    const int entries = 2 + int(random() % 4);
    for (int e = 0; e < entries; ++e)
        history->items.push_back(
            historyEntry(storedDateString(created.addSecs(e * 3600)),
                         e == 0 ? QStringLiteral("item created")
                                : QString::fromLatin1(kMessages[random() % std::size(kMessages)])));
    node->set(key::history, history);
    node->set(key::children, Array::create());
    node->set(key::category, QString::fromLatin1(kCategories[random() % std::size(kCategories)]));
    if (index % 3 == 0) {
        node->set(key::due, storedDateString(created.addDays(int(random() % 60) - 20)));
        node->set(key::dateDueRepeatPeriod, Value::integer(index % 9 == 0 ? int(random() % 12) : 0));
    }
    if (index % 5 == 0)
        node->set(key::notes, Value::data(notesFor(random, index)));
    return node;
}

} // namespace

NodePtr generateList(int count, unsigned seed) {
    std::mt19937 random(seed);
    const QDateTime base(QDate(2024, 6, 1), QTime(9, 0), Qt::OffsetFromUTC, 7200);
    NodePtr root = newListRoot();
    root->set(key::beta1DateFixedUp, Value::boolean(true));
    std::vector<NodePtr> path{root}; // the current branch, root first; at most 6 item levels
    for (int i = 0; i < count; ++i) {
        const unsigned move = random() % 10;
        if (move < 3 && path.size() > 1)
            path.pop_back();
        NodePtr item = makeItem(random, i, base);
        childrenOf(*path.back())->items.push_back(item);
        if (move >= 7 && path.size() < 6)
            path.push_back(item);
    }
    return root;
}

} // namespace tardigo::bench
