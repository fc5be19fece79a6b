#include "exchange/plist_export.h"

#include "exchange/plist_writer.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "model/value_expansion.h"
#include "platform/atomic_file.h"
#include "rich_text/notes_text.h"

#include <QFileInfo>

namespace tardigo {

QByteArray exportPropertyList(const Dict& root) {
    const DictPtr copy = root.deepCopy();
    cleanForExport(*copy, notesPlainText);
    const ArrayPtr children = childrenOf(*copy);
    return xmlPropertyList(children ? Value(children) : Value(Array::create()));
}

QString exportPropertyListFile(const Dict& root, const QString& path) {
    // Checked on the list itself, before its notes are made plain text one item at a time.
    const ArrayPtr children = childrenOf(root);
    if (const QString refusal = ValueExpansion::of(children ? Value(children) : Value()).refusal();
        !refusal.isEmpty())
        return QStringLiteral("Could not export to “%1”: %2.").arg(QFileInfo(path).fileName(), refusal);
    return writeFileAtomically(path, exportPropertyList(root));
}

} // namespace tardigo
