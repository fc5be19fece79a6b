#include "model/category_names.h"

#include "model/keys.h"
#include "model/tree_operations.h"

#include <QSet>

#include <algorithm>

namespace tardigo {

QStringList categoryNames(const Dict& root, const QStringList& global) {
    QStringList all;
    collectCategories(root, all);
    all += global;
    QSet<QString> seen;
    QStringList result;
    for (const QString& category : std::as_const(all)) {
        if (category.isEmpty() || seen.contains(category))
            continue;
        seen.insert(category);
        result.append(category);
    }
    std::sort(result.begin(), result.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return result;
}

} // namespace tardigo
