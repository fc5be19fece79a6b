#include "outline_text.h"
#include "platform/untrusted_text.h"

#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "model/tree_operations.h"

#include <cmath>

namespace tardigo::cli {

namespace {

QString periodName(const Dict& node) {
    static const char* const names[] = {
        nullptr,  "daily",         "weekly", "monthly by weekday", "monthly by date", "every 6 months",
        "yearly", "every 2 years", "often",  "infrequently",       "every 2 weeks",   "quarterly"};
    const Number* period = node.value(key::dateDueRepeatPeriod).asNumber();
    const qint64 code = period ? period->toInt64() : 0;
    return code > 0 && code < qint64(std::size(names)) ? QString::fromLatin1(names[code]) : QString();
}

void appendItems(const Dict& node, int depth, QString& text) {
    const ArrayPtr children = childrenOf(node);
    if (!children)
        return;
    for (const Value& v : children->items) {
        const DictPtr item = v.asDict();
        if (!item)
            continue;
        QStringList fields;
        fields << QStringLiteral("%1%").arg(int(std::lround(completionOf(*item) * 100.0)), 3);
        fields << stringOf(*item, key::name);
        const QString* category = item->value(key::category).asString();
        if (category && !category->isEmpty())
            fields << QStringLiteral("[%1]").arg(*category);
        if (parseStoredDate(item->value(key::due)))
            fields << QStringLiteral("due %1").arg(*item->value(key::due).asString());
        if (const QString period = periodName(*item); !period.isEmpty() && item->contains(key::due))
            fields << QStringLiteral("repeats %1").arg(period);
        text += QString(depth * 2, u' ') + terminalSafe(fields.join(u' ')) + u'\n';
        appendItems(*item, depth + 1, text);
    }
}

} // namespace

QString outlineText(const Dict& root) {
    const ItemCounts counts = countItemsIncludingChildren(root);
    const qint64 total = counts.total;
    const qint64 outstanding = total - counts.complete;
    QString text = QStringLiteral("%1/%2 outstanding\n").arg(outstanding).arg(total);
    appendItems(root, 0, text);
    return text;
}

} // namespace tardigo::cli
