#pragma once

#include "desktop_search/core/list_index.h"
#include "platform/file_identity.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace tardigo {

/// The lists that are not open, read from their files for searching and kept while the files stay
/// as they were: a search asks each file whether it changed, and reads only those that did. Reading
/// never writes, not even the repairs a list gets when it opens.
class ListShelf {
public:
    /// The list at the path, read again when its file changed; none when the file is no current
    /// list (a file that cannot be read is tried again only once it changes).
    std::shared_ptr<const ListIndex> list(const QString& path);
    /// Lets go of the lists not among these paths.
    void keepOnly(const QStringList& paths);
    /// How many times a file was read, for telling a kept list from one read again.
    int reads() const { return _reads; }

private:
    struct Shelved {
        FileIdentity identity;
        std::shared_ptr<const ListIndex> index; // null: not a list
    };
    QHash<QString, Shelved> _lists;
    int _reads = 0;
};

} // namespace tardigo
