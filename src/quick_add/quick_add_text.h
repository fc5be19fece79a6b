#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace tardigo {

/// An item as a line of text describes it: "Call Anna tomorrow 10:00 #work".
struct QuickAddItem {
    QString name;
    QString category;             // empty: none
    std::optional<QDateTime> due; // none: no due date
};

/// Reads a line of quick-add text. One "#word" anywhere is the category (the first, when there are
/// more); the longest run of words at the end that the due-date cell accepts is the due date (a day
/// without a time is due at its end, as the cell reads it); what is left is the name, and text that
/// is no date stays in it. A line that is all date is a name. Nothing for a line with no name.
std::optional<QuickAddItem> readQuickAddText(const QString& text);

} // namespace tardigo
