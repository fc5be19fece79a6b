#pragma once

#include "caldav/account_store.h"
#include "caldav/calendar_choice.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLabel;

namespace tardigo {

/// The account and the to-do calendar a list syncs with, in File > Sync Settings: the account's
/// calendars are listed as the user waits (the password from the keyring), with a new calendar
/// named after the list offered when none bears its name. Nothing is sent to a server before an
/// account is chosen here.
class CalendarPicker : public QWidget {
    Q_OBJECT
public:
    CalendarPicker(const QString& listName, const QString& calendar, QWidget* parent,
                   AccountStore store = AccountStore());
    ~CalendarPicker() override;

    /// Lists the chosen account's calendars (again).
    void listCalendars();
    QString account() const;
    /// The calendar chosen; none when it is the new one, or none could be listed.
    std::optional<CalendarInfo> calendar() const;
    bool choosesNewCalendar() const;
    /// The name a new calendar gets: the list's.
    const QString& newCalendarName() const { return _listName; }
    /// Whether there is something to choose: an account with its calendars listed.
    bool isReady() const { return _ready; }
    /// The calendar chosen, made first when it is the new one; answers its address or why not.
    void makeChosen(std::function<void(const QUrl&, const QString& error)> done);
    /// Shows why the choice does not do.
    void tell(const QString& text);

signals:
    void readyChanged(bool ready);

private:
    void listed(const QString& error, const QList<CalendarInfo>& calendars, const QUrl& home);
    void setReady(bool ready);

    struct Connection;
    AccountStore _store;
    QString _listName;
    QString _calendar; // the one the list names, chosen when listed
    QList<Account> _accounts;
    std::unique_ptr<Connection> _connection;
    QComboBox* _accountBox = nullptr;
    QComboBox* _calendarBox = nullptr;
    QLabel* _message = nullptr;
    bool _ready = false;
    int _listing = 0; // answers for an account chosen before are passed over
};

} // namespace tardigo
