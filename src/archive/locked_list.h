#pragma once

#include "model/value.h"

#include <QString>

#include <optional>

namespace tardigo {

/// A list file held for one change, from reading it to saving it. Every writer of a list outside
/// the document window (export, import, sync) goes through here.
class LockedList {
public:
    /// Reads the list at path; when the file does not exist and `createIfMissing`, a new, empty
    /// list that save() will create. Nothing, with the reason in `error`, when it cannot be read.
    static std::optional<LockedList> open(const QString& path, bool createIfMissing, QString* error);

    const QString& path() const { return _path; }
    const NodePtr& root() const { return _root; }
    /// Saves the list atomically; an empty string, or why it failed.
    QString save() const;

private:
    LockedList(QString path, NodePtr root) : _path(std::move(path)), _root(std::move(root)) {}

    QString _path;
    NodePtr _root;
};

} // namespace tardigo
