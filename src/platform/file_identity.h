#pragma once

#include <QString>

#include <optional>

namespace tardigo {

/// What tells one version of a file on disk from another: its device and inode (a save replaces the
/// file with a new one), its size and its modification time. Remembered when a list is read or
/// saved, and compared before the next save, it says whether someone else changed the file since.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNsecs = 0; // since the epoch

    /// The identity of the file at path, following symbolic links; nothing when there is no file.
    static std::optional<FileIdentity> of(const QString& path);

    /// The same file, whatever became of its content: the same device and inode.
    bool isSameFileAs(const FileIdentity& other) const {
        return device == other.device && inode == other.inode;
    }
    /// The same file with the same content as far as the disk tells.
    bool operator==(const FileIdentity& other) const = default;
};

} // namespace tardigo
