#include "quick_add/quick_add_text.h"

#include "dates/due_date_entry.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace tardigo {

namespace {

// More words than any date the due-date cell reads ("in 2 weeks at 9:30 PM" has six): a long line
// costs a few readings, not one for every word.
constexpr qsizetype kLongestDate = 8;

} // namespace

std::optional<QuickAddItem> readQuickAddText(const QString& text) {
    static const QRegularExpression whitespace(QStringLiteral("\\s+"));
    QStringList words = text.split(whitespace, Qt::SkipEmptyParts);
    QuickAddItem item;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i].size() > 1 && words[i].startsWith(u'#')) {
            item.category = words.takeAt(i).mid(1);
            break;
        }
    }
    // The longest run first, and never the first word: a line that is all date names the item.
    for (qsizetype start = std::max<qsizetype>(1, words.size() - kLongestDate);
         start < words.size() && !item.due; ++start) {
        const DueDateEntry entry = readDueDateEntry(words.mid(start).join(u' '));
        if (entry.kind == DueDateEntry::Kind::Date) {
            item.due = entry.date;
            words.resize(start);
        }
    }
    item.name = words.join(u' ');
    if (item.name.isEmpty())
        return std::nullopt;
    return item;
}

} // namespace tardigo
