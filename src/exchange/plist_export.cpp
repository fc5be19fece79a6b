#include "exchange/plist_export.h"

#include "exchange/plist_writer.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/tree_operations.h"
#include "platform/atomic_file.h"
#include "rich_text/notes_text.h"

namespace tardigo {

QByteArray exportPropertyList(const Dict& root) {
    const DictPtr copy = root.deepCopy();
    VKcleanForExport(*copy, notesPlainText);
    const ArrayPtr children = childrenOf(*copy);
    return xmlPropertyList(children ? Value(children) : Value(Array::create()));
}

QString exportPropertyListFile(const Dict& root, const QString& path) {
    return writeFileAtomically(path, exportPropertyList(root));
}

} // namespace tardigo
