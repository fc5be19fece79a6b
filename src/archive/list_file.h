#pragma once

#include "archive/typed_stream_reader.h"
#include "model/value.h"

#include <optional>

namespace tardigo {

/// How deep items may nest in a list (a top-level item is at depth 1): an item at depth d is
/// archived d * 2 + 1 objects deep, and its values nest up to three more (a history entry's texts),
/// within the reader's limit. Commands that nest items check it, and saving refuses a deeper tree.
constexpr int kMaxItemDepth = (TypedStreamReader::kMaxNesting - 4) / 2;

/// The root node of a new, empty list, marked as needing no timestamp repair.
NodePtr newListRoot();

/// The list file's bytes: the typed-stream archive of the root node; nothing for another type, or
/// for a tree nested too deeply to be read back.
std::optional<QByteArray> encodeListFile(const NodePtr& root, const QString& typeName);

/// What reading a list file gave.
struct ListLoad {
    NodePtr root;          // the list after the load repairs; null when the read failed
    bool changed = false;  // the timestamp repair ran, so the document starts changed
    bool isLegacy = false; // the data is a 1.x list (its root is the 1.x envelope)
    QString error;         // why the read failed, in words; empty on success
    bool ok() const { return root != nullptr; }
};

/// Reads a list from archive bytes and runs the load repairs. `fileName` names the file in errors.
ListLoad decodeListFile(const QByteArray& data, const QString& typeName, const QString& fileName);
/// Reads the list file at path. Errors name the file as `shownName`, else by its file name.
ListLoad readListFile(const QString& path, const QString& shownName = QString());
/// Converts a 1.x list to a new list holding its items; the root is not marked as repaired, so the
/// first reading of the saved list runs the repairs. `fileName` names the file in errors.
ListLoad importLegacyList(const QByteArray& data, const QString& fileName);
/// Converts the 1.x list file at path.
ListLoad importLegacyListFile(const QString& path);
/// Saves the list atomically, holding its lock (see ListLock) while it does; answers an empty string
/// or why it failed. A tree that no reader would open (nested too deeply) is refused.
QString writeListFile(const QString& path, const NodePtr& root);

/// Adds the path to the lists the minder watches, once, and writes the preferences at once.
void addToMinderWatchList(const QString& path);

} // namespace tardigo
