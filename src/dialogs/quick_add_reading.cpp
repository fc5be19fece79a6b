#include "dialogs/quick_add_reading.h"

#include "dates/due_date_format.h"
#include "quick_add/quick_add_text.h"

#include <QCoreApplication>
#include <QStringList>

namespace tardigo {

QString quickAddReading(const QString& line, const QString& whenEmpty) {
    const std::optional<QuickAddItem> item = readQuickAddText(line);
    if (!item)
        return line.trimmed().isEmpty()
                   ? whenEmpty
                   : QCoreApplication::translate("QuickAddReading", "Give the item a name.");
    QStringList parts{item->name};
    if (!item->category.isEmpty())
        parts << QCoreApplication::translate("QuickAddReading", "category %1").arg(item->category);
    parts << (item->due
                  ? QCoreApplication::translate("QuickAddReading", "due %1").arg(formatDueDate(*item->due))
                  : QCoreApplication::translate("QuickAddReading", "no due date"));
    return parts.join(QStringLiteral(" · "));
}

} // namespace tardigo
