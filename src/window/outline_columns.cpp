#include "window/outline_columns.h"

#include "model/keys.h"
#include "platform/localized.h"

namespace tardigo {

const QStringList& outlineColumnIdentifiers() {
    static const QStringList identifiers{key::icon, key::name,  key::category,
                                         key::due,  key::notes, key::completion};
    return identifiers;
}

int outlineColumnIndex(const QString& identifier) {
    return int(outlineColumnIdentifiers().indexOf(identifier));
}

int outlineColumnTag(const QString& identifier) {
    if (identifier == key::category)
        return 2;
    if (identifier == key::due)
        return 3;
    if (identifier == key::completion)
        return 4;
    if (identifier == key::notes)
        return 5;
    return 0;
}

QString outlineColumnTitle(const QString& identifier) {
    if (identifier == key::icon)
        return QString();
    if (identifier == key::name)
        return localized(QStringLiteral("Item"));
    if (identifier == key::category)
        return localized(QStringLiteral("Category"));
    if (identifier == key::due)
        return localized(QStringLiteral("Due Date"));
    if (identifier == key::notes)
        return localized(QStringLiteral("Notes"));
    if (identifier == key::completion)
        return localized(QStringLiteral("Completion"));
    return identifier;
}

} // namespace tardigo
