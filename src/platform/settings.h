#pragma once

#include "model/value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QSettings;

namespace tardigo {

/// The user's preferences: values the user set (persisted) over the defaults of the preference
/// table (preferenceTable()). The file is plain INI (see plainIniFormat) that a person can read and
/// edit, and that other processes may change while Tardigo runs (reload()).
///
/// Each preference has a typed accessor. A boolean is true only for a number that is not zero, a
/// number reads as 0, a text as empty and a list as empty when the value is absent or of another
/// kind: a hand-edited or damaged value never converts into something the user did not write.
class Settings {
public:
    /// The application's preferences, over the file at standardFilePath(); a file written by
    /// earlier builds is migrated first.
    static Settings& instance();
    /// Where the application keeps its preferences: tardigo/preferences.ini in the XDG config folder.
    static QString standardFilePath();
    /// Moves the preferences of an earlier build's file at legacyPath into a new file at path, then
    /// renames the old file aside; nothing happens when path exists or legacyPath does not. Answers
    /// whether preferences were moved.
    static bool migrateLegacySettings(const QString& legacyPath, const QString& path);

    Settings();
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    /// Persists set values in the given file instead of the XDG config folder (tests use a temp dir).
    void useFile(const QString& path);
    /// Keeps set values in memory only; nothing touches the user's files.
    void useMemoryOnly();
    /// The file the set values live in; empty in memory.
    QString fileName() const;

    /// The value of any key (the table's, or one kept per list): the user's, else the table's
    /// default, else an absent value. For `tardigo-cli config` and tests; code reads the accessors.
    Value value(const QString& key) const;
    /// Whether the user set a value of their own (which may equal the default).
    bool contains(const QString& key) const;
    /// Sets the user's value; one out of the preference's range leaves the preference at its
    /// default (logged), as the file's reader does. An absent value removes it.
    void setValue(const QString& key, const Value& value);
    /// Takes the user's value away: the preference reads its default again.
    void remove(const QString& key);
    /// Writes the set values to disk now; false, after a log line, when the file could not be written.
    bool sync();
    /// Reads the file again after another process changed it; answers whether any value changed.
    bool reload();

    // The minder and how it announces what falls due.
    bool minderEnabled() const;
    void setMinderEnabled(bool on);
    qint64 minderIntervalMinutes() const;
    void setMinderIntervalMinutes(qint64 minutes);
    QStringList minderLists() const;
    void setMinderLists(const QStringList& paths);
    bool minderAlertDialog() const;
    void setMinderAlertDialog(bool on);
    bool minderAlertSound() const;
    void setMinderAlertSound(bool on);
    bool minderSpeak() const;
    void setMinderSpeak(bool on);
    bool minderEmail() const;
    void setMinderEmail(bool on);
    bool minderDesktopNotification() const;
    void setMinderDesktopNotification(bool on);
    QString minderEmailAddress() const;
    void setMinderEmailAddress(const QString& address);
    QString minderSendmailPath() const;
    void setMinderSendmailPath(const QString& path);
    /// The most hours a frequent or infrequent random repeat waits; 0 when the user set none.
    qint64 frequentRepeatHours() const;
    qint64 infrequentRepeatHours() const;

    // Lists and the application.
    bool loadPreviousListOnStartup() const;
    void setLoadPreviousListOnStartup(bool on);
    QStringList lastDocumentSet() const;
    void setLastDocumentSet(const QStringList& paths);
    bool lastWindowCloseQuits() const;
    void setLastWindowCloseQuits(bool on);
    bool autoSave() const;
    void setAutoSave(bool on);
    QStringList recentDocuments() const;
    void setRecentDocuments(const QStringList& paths);
    /// The command run before and after syncing every list; empty: none.
    QString syncCommand() const;
    /// The list quick add adds to; empty: the first open list.
    QString quickAddList() const;
    bool agendaShowsUndated() const;
    void setAgendaShowsUndated(bool on);

    // Categories and icons.
    bool categoriesLocalScope() const;
    void setCategoriesLocalScope(bool local);
    QStringList globalCategories() const;
    void setGlobalCategories(const QStringList& categories);
    QStringList itemIcons() const;
    void setItemIcons(const QStringList& icons);
    /// Icon → status code (null when the value is not a table).
    DictPtr iconConditions() const;
    void setIconConditions(const DictPtr& conditions);
    /// Icon → category (null when the value is not a table).
    DictPtr iconCategories() const;
    void setIconCategories(const DictPtr& categories);
    qint64 oldDays() const;

    // How the window and the printout look.
    /// 0 left, 2 right.
    qint64 drawerSide() const;
    void setDrawerSide(qint64 side);
    bool borderPulldowns() const;
    bool printCheckboxes() const;
    void setPrintCheckboxes(bool on);
    bool printIcons() const;
    void setPrintIcons(bool on);
    bool printNotes() const;
    void setPrintNotes(bool on);
    /// The formats of dates and times; empty: the locale's.
    QString shortDateFormat() const;
    void setShortDateFormat(const QString& format);
    QString timeFormat() const;
    void setTimeFormat(const QString& format);
    /// The default font of items; empty: the application's.
    QString userFont() const;
    /// Its size in points; none when it has none.
    std::optional<double> userFontSize() const;
    void setUserFont(const QString& name, double pointSize);
    void removeUserFont();
    /// The toolbar's items; none when the user never changed them.
    std::optional<QStringList> toolbarItems() const;
    void setToolbarItems(const QStringList& identifiers);

    // What is kept per list, under its display name; empty when nothing is.
    QByteArray windowFrame(const QString& listName) const;
    void setWindowFrame(const QString& listName, const QByteArray& geometry);
    QByteArray outlineColumns(const QString& listName) const;
    void setOutlineColumns(const QString& listName, const QByteArray& state);

private:
    bool flag(const QString& key) const;
    void setFlag(const QString& key, bool on);
    qint64 integer(const QString& key) const;
    void setInteger(const QString& key, qint64 number);
    QString text(const QString& key) const;
    void setText(const QString& key, const QString& text);
    QStringList textList(const QString& key) const;
    void setTextList(const QString& key, const QStringList& texts);
    QByteArray bytes(const QString& key) const;

    struct Private;
    std::unique_ptr<Private> d;
};

/// A true-or-false preference by its accessors, for the check boxes that show one each.
struct SettingsFlag {
    bool (Settings::*get)() const;
    void (Settings::*set)(bool);

    bool value() const { return (Settings::instance().*get)(); }
    void setValue(bool on) const { (Settings::instance().*set)(on); }
};

} // namespace tardigo
