#pragma once

#include "ical/calendar_reader.h"
#include "sync/sync_store.h"

namespace tardigo {

/// A vdir collection: a folder holding one iCalendar file per item ("UID.ics"), the layout that
/// desktop and command-line task tools share and that vdirsyncer keeps in sync with a server.
/// Files are written atomically; files that are not ".ics", and hidden ones (other writers'
/// temporary files), are left alone. The folder is the folder: a symbolic link in it is never
/// followed, for reading or writing, and a file larger than kMaxFileBytes is never read or written.
class VdirFolder : public SyncStore {
public:
    /// The most a file of the folder may hold: no more than the calendar reader accepts.
    static constexpr qint64 kMaxFileBytes = kMaxCalendarBytes;

    explicit VdirFolder(QString path) : _path(std::move(path)) {}

    QString location() const override { return _path; }
    std::optional<StoreListing> list(QString* error) const override;
    std::optional<QByteArray> read(const QString& name, QString* error) const override;
    /// A folder answers each at once.
    void beginWrite(const QString& name, const QByteArray& bytes, Answer answer) override {
        answer(write(name, bytes));
    }
    void beginRemoval(const QString& name, Answer answer) override { answer(remove(name)); }
    /// The uid where that makes a safe file name, else a name derived from it.
    QString nameForUid(const QString& uid) const override;

protected:
    /// Answers an empty string, or why it failed.
    virtual QString write(const QString& name, const QByteArray& bytes);
    virtual QString remove(const QString& name);

private:
    QString filePath(const QString& name) const;

    QString _path;
};

} // namespace tardigo
