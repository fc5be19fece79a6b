#include "outline/outline_columns.h"

#include "model/keys.h"
#include "platform/localized.h"

#include <array>

namespace tardigo {

namespace {

struct OutlineColumn {
    const QString& identifier;
    int tag;              // the View menu's tag; 0: the column cannot be hidden
    const char* titleKey; // the header's text in the string table; none for the icon column
    bool typedIn;         // its cells are edited by typing
};

const std::array<OutlineColumn, 6>& columns() {
    static const std::array<OutlineColumn, 6> table{{
        {key::icon, 0, nullptr, false},
        {key::name, 0, "Item", true},
        {key::category, 2, "Category", true},
        {key::due, 3, "Due Date", true},
        {key::notes, 5, "Notes", false},
        {key::completion, 4, "Completion", false},
    }};
    return table;
}

const OutlineColumn* columnFor(const QString& identifier) {
    for (const OutlineColumn& column : columns())
        if (column.identifier == identifier)
            return &column;
    return nullptr;
}

} // namespace

const QStringList& outlineColumnIdentifiers() {
    static const QStringList identifiers = [] {
        QStringList all;
        for (const OutlineColumn& column : columns())
            all.append(column.identifier);
        return all;
    }();
    return identifiers;
}

int outlineColumnIndex(const QString& identifier) {
    return int(outlineColumnIdentifiers().indexOf(identifier));
}

int outlineColumnTag(const QString& identifier) {
    const OutlineColumn* column = columnFor(identifier);
    return column ? column->tag : 0;
}

std::optional<QString> outlineColumnForTag(int tag) {
    for (const OutlineColumn& column : columns())
        if (tag != 0 && column.tag == tag)
            return column.identifier;
    return std::nullopt;
}

QString outlineColumnTitle(const QString& identifier) {
    const OutlineColumn* column = columnFor(identifier);
    if (!column)
        return identifier;
    return column->titleKey ? localized(QString::fromLatin1(column->titleKey)) : QString();
}

bool isOutlineColumnTypedIn(const QString& identifier) {
    const OutlineColumn* column = columnFor(identifier);
    return column && column->typedIn;
}

} // namespace tardigo
