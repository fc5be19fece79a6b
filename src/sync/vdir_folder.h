#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tardigo {

/// A vdir collection: a folder holding one iCalendar file per item ("UID.ics"), the layout that
/// desktop and command-line task tools share and that vdirsyncer keeps in sync with a server.
/// Files are written atomically; files that are not ".ics", and hidden ones (other writers'
/// temporary files), are left alone.
class VdirFolder {
public:
    explicit VdirFolder(QString path) : _path(std::move(path)) {}

    const QString& path() const { return _path; }
    /// The names of the folder's calendar files, sorted; nothing, with the reason, when the folder
    /// cannot be read.
    std::optional<QStringList> calendarFiles(QString* error) const;
    std::optional<QByteArray> read(const QString& name, QString* error) const;
    /// Answers an empty string, or why it failed.
    QString write(const QString& name, const QByteArray& bytes) const;
    QString remove(const QString& name) const;

    /// The name for a new item's file: its uid where that makes a safe file name, else a name
    /// derived from it.
    static QString fileNameForUid(const QString& uid);
    /// The hash by which a file's change is seen.
    static QByteArray hashOf(const QByteArray& bytes);

private:
    QString _path;
};

} // namespace tardigo
