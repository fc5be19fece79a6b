#pragma once

#include "model/value.h"

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

namespace tardigo {

/// The user's preferences: values the user set (persisted) over a registration domain of defaults
/// (in memory only, registered at every start). The file is plain INI (see plainIniFormat) that a
/// person can read and edit, and that other processes may change while Tardigo runs (reload()).
class UserDefaults {
public:
    /// The application's defaults, with every key of the defaults table registered, over the file
    /// at standardFilePath(); a file written by earlier builds is migrated first.
    static UserDefaults& standard();
    /// Where the application keeps its preferences: tardigo/preferences.ini in the XDG config folder.
    static QString standardFilePath();
    /// Moves the preferences of an earlier build's file at legacyPath into a new file at path, then
    /// renames the old file aside; nothing happens when path exists or legacyPath does not. Answers
    /// whether preferences were moved.
    static bool migrateLegacySettings(const QString& legacyPath, const QString& path);

    /// Persists set values in the given file instead of the XDG config folder (tests use a temp dir).
    void useFile(const QString& path);
    /// Keeps set values in memory only; nothing touches the user's files.
    void useMemoryOnly();
    /// The file the set values live in; empty in memory.
    QString fileName() const;

    void registerDefaults(const std::vector<std::pair<QString, Value>>& defaults);

    /// The user's value, else the registered default, else an absent value.
    Value objectForKey(const QString& key) const;
    /// Whether the user set a value of their own (which may equal the default).
    bool isSetByUser(const QString& key) const;
    /// True only for a number that is not zero (an absent key is false).
    bool boolForKey(const QString& key) const;
    /// The integer value of a number; 0 when absent or not a number.
    qint64 integerForKey(const QString& key) const;
    /// The strings of an array value; empty when absent.
    QStringList stringArrayForKey(const QString& key) const;

    /// Sets the user's value; one out of the preference's range leaves the preference at its
    /// default (logged), as the file's reader does.
    void setObject(const QString& key, const Value& value);
    void setBool(const QString& key, bool value);
    void setInteger(const QString& key, qint64 value);
    void setStringArray(const QString& key, const QStringList& value);
    void removeObject(const QString& key);
    /// Writes the set values to disk now; false, after a log line, when the file could not be written.
    bool synchronize();
    /// Reads the file again after another process changed it; answers whether any value changed.
    bool reload();

    UserDefaults();
    ~UserDefaults();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

/// Registers every default of the table, in the table's order.
void registerTardigoDefaults(UserDefaults& defaults);

} // namespace tardigo
