#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

namespace tardigo {

/// An object of a calendar as this computer last read or wrote it.
struct MirroredObject {
    QByteArray etag; // empty when the server gave none for what was written
    QByteArray data;
};

/// What this computer holds of a calendar a list syncs with: each object's ETag and bytes, and the
/// sync-collection token they were listed under, so that a sync fetches only what changed since.
/// A cache, kept beside the list's sync state: when it is lost or does not read, the next sync
/// lists and fetches every object again.
class CalendarMirror {
public:
    enum class SyncCollection { Unknown, Offered, Absent };

    /// The most the file may hold, so that reading it never takes more memory than that.
    static constexpr qint64 kMaxFileBytes = qint64(1024) * 1024 * 1024;

    /// The mirror of the list's calendar; empty when there is none or it does not read (logged).
    static CalendarMirror load(const QString& stateFolder, const QString& listPath, const QString& calendar);
    /// Saves the mirror atomically; an empty string, or why it failed.
    QString save() const;

    QByteArray token; // empty: list every member
    SyncCollection syncCollection = SyncCollection::Unknown;
    QHash<QString, MirroredObject> objects; // by name in the calendar
    QSet<QString> writtenSinceToken;        // objects written after the token was listed

private:
    QString _path;
};

} // namespace tardigo
