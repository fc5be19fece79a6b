#include "accounts/calendar_picker.h"

#include "accounts/message_label.h"
#include "caldav/account_passwords.h"
#include "caldav/caldav_client.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPointer>

namespace tardigo {

/// The chosen account's server, reached with its password, and its calendars as listed.
struct CalendarPicker::Connection {
    std::unique_ptr<CalDavClient> client;
    QUrl home;
    QList<CalendarInfo> calendars;
};

CalendarPicker::CalendarPicker(const QString& listName, const QString& calendar, QWidget* parent,
                               AccountStore store)
    : QWidget(parent), _store(std::move(store)), _listName(listName), _calendar(calendar),
      _connection(std::make_unique<Connection>()) {
    setObjectName(QStringLiteral("calendarPicker"));
    _accountBox = new QComboBox(this);
    _accountBox->setObjectName(QStringLiteral("syncAccountBox"));
    _accountBox->setAccessibleName(tr("Account"));
    _calendarBox = new QComboBox(this);
    _calendarBox->setObjectName(QStringLiteral("syncCalendarBox"));
    _calendarBox->setAccessibleName(tr("Calendar"));
    _message = messageLabel(this, QStringLiteral("calendarPickerMessage"), tr("Calendars of the account"));

    auto* form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    auto* accountLabel = new QLabel(tr("&Account:"), this);
    accountLabel->setBuddy(_accountBox);
    form->addRow(accountLabel, _accountBox);
    auto* calendarLabel = new QLabel(tr("Ca&lendar:"), this);
    calendarLabel->setBuddy(_calendarBox);
    form->addRow(calendarLabel, _calendarBox);
    form->addRow(_message);

    QString error;
    _accounts = _store.load(&error).value_or(QList<Account>());
    for (const Account& account : std::as_const(_accounts))
        _accountBox->addItem(tr("%1 (%2 at %3)").arg(account.name, account.user, serverName(account.url)),
                             account.name);
    _accountBox->setEnabled(!_accounts.isEmpty());
    _calendarBox->setEnabled(false);
    if (!error.isEmpty())
        tell(error);
    else if (_accounts.isEmpty())
        tell(tr("No accounts yet: add one in Preferences, under Accounts."));
    connect(_accountBox, &QComboBox::currentIndexChanged, this, &CalendarPicker::listCalendars);
}

CalendarPicker::~CalendarPicker() = default;

QString CalendarPicker::account() const {
    return _accountBox->currentData().toString();
}

void CalendarPicker::listCalendars() {
    const int listing = ++_listing;
    _connection = std::make_unique<Connection>();
    _calendarBox->clear();
    _calendarBox->setEnabled(false);
    setReady(false);
    const int index = _accountBox->currentIndex();
    if (index < 0 || index >= _accounts.size())
        return;
    const Account account = _accounts[index];
    tell(tr("Asking %1 for the calendars of %2…").arg(serverName(account.url), account.user));
    QPointer<CalendarPicker> self(this);
    AccountPasswords(_store).read(account, [self, listing, account](const Keyring::Answer& kept) {
        if (!self || listing != self->_listing)
            return;
        if (!kept.ok()) {
            self->tell(tr("The password of “%1” is not at hand: %2 Remove the account and add it again.")
                           .arg(account.name, kept.reason));
            return;
        }
        self->_connection->client = std::make_unique<CalDavClient>(account.access(kept.password));
        self->_connection->home = account.home;
        self->_connection->client->listCalendars(
            account.home, [self, listing, home = account.home](DavResult<QList<CalendarInfo>> calendars) {
                if (self && listing == self->_listing)
                    self->listed(calendars.ok() ? QString() : calendars.error.message, calendars.value, home);
            });
    });
}

void CalendarPicker::listed(const QString& error, const QList<CalendarInfo>& calendars, const QUrl& home) {
    if (!error.isEmpty()) {
        tell(error);
        return;
    }
    const CalendarOffers offers = calendarOffers(calendars, home, _listName);
    _connection->calendars = offers.calendars;
    int chosen = -1;
    for (const CalendarInfo& calendar : offers.calendars) {
        if (calendar.url.toString() == _calendar ||
            (chosen < 0 && offers.named && offers.named->url == calendar.url))
            chosen = _calendarBox->count();
        _calendarBox->addItem(calendar.displayName.isEmpty() ? calendar.url.path() : calendar.displayName,
                              calendar.url);
        _calendarBox->setItemData(_calendarBox->count() - 1, calendar.url.path(), Qt::ToolTipRole);
    }
    if (offers.offerNew) {
        _calendarBox->addItem(tr("New calendar “%1”").arg(_listName));
        if (chosen < 0)
            chosen = _calendarBox->count() - 1;
    }
    _calendarBox->setCurrentIndex(std::max(chosen, 0));
    _calendarBox->setEnabled(_calendarBox->count() > 0);
    tell(_calendarBox->count() > 0
             ? QString()
             : tr("The account has no calendar for to-dos, and one named “%1” holds none.").arg(_listName));
    setReady(_calendarBox->count() > 0);
}

std::optional<CalendarInfo> CalendarPicker::calendar() const {
    const int index = _calendarBox->currentIndex();
    if (index < 0 || index >= _connection->calendars.size())
        return std::nullopt;
    return _connection->calendars[index];
}

bool CalendarPicker::choosesNewCalendar() const {
    return _ready && !calendar().has_value();
}

void CalendarPicker::makeChosen(std::function<void(const QUrl&, const QString&)> done) {
    if (const std::optional<CalendarInfo> chosen = calendar()) {
        done(chosen->url, {});
        return;
    }
    if (!choosesNewCalendar() || !_connection->client) {
        done({}, tr("Choose an account and a calendar."));
        return;
    }
    tell(tr("Making the calendar “%1”…").arg(_listName));
    QPointer<CalendarPicker> self(this);
    const int listing = _listing;
    _connection->client->makeCalendar(_connection->home, _listName,
                                      [self, listing, done = std::move(done)](DavResult<CalendarInfo> made) {
                                          if (!self || listing != self->_listing)
                                              return;
                                          self->tell({});
                                          done(made.value.url, made.ok() ? QString() : made.error.message);
                                      });
}

void CalendarPicker::tell(const QString& text) {
    _message->setText(text);
    _message->setVisible(!text.isEmpty());
    growToShow(this);
}

void CalendarPicker::setReady(bool ready) {
    if (ready != _ready) {
        _ready = ready;
        emit readyChanged(ready);
    }
}

} // namespace tardigo
