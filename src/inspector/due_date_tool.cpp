#include "inspector/due_date_tool.h"

#include "dates/due_date_entry.h"
#include "dates/due_date_format.h"
#include "dates/user_date_time_format.h"
#include "document/tardigo_document.h"
#include "minder/recurrence_calculator.h"
#include "model/clock.h"
#include "outline/status_display.h"
#include "widgets/qt_part_names.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace tardigo {

namespace {

/// The popup's periods, in the codes' order; the first item is no period.
const std::pair<int, const char*> kPeriods[] = {
    {NoPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "No Period")},
    {DailyPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Daily")},
    {WeeklyPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Weekly")},
    {MonthlyByDayPositionPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Monthly (same weekday)")},
    {MonthlyByDayNumberPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Monthly (same date)")},
    {SemiAnnualPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Every 6 Months")},
    {AnnualPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Yearly")},
    {BiennialPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Every 2 Years")},
    {OftenPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Often")},
    {InfrequentPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Infrequently")},
    {FortnightPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Every 2 Weeks")},
    {QuarterPeriod, QT_TRANSLATE_NOOP("tardigo::DueDateTool", "Every 3 Months")},
};

} // namespace

DueDateTool::DueDateTool(TardigoDocument& document, QWidget* parent)
    : ToolPage(parent), _document(document), _dueText(named(new QLabel(this), "dueDateText", tr("Date due"))),
      _calendar(named(new QCalendarWidget(this), "calendarView", tr("Due date"))),
      _time(named(new QTimeEdit(this), "timeView", tr("Time due"))),
      _repeat(named(new QCheckBox(tr("&Repeat"), this), "repeatCheckBox", tr("Repeat"))),
      _period(named(new QComboBox(this), "timePeriodPopup", tr("Repeat period"))) {
    _calendar->setGridVisible(false);
    nameCalendarParts(*_calendar);
    _calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // A 12-hour clock unless the user's time format counts the hours to 24.
    _time->setDisplayFormat(userTimeFormat().contains(u'H') ? QStringLiteral("HH:mm")
                                                            : QStringLiteral("h:mm AP"));
    for (const auto& [code, title] : kPeriods)
        _period->addItem(tr(title), code);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(_dueText);
    layout->addWidget(_calendar);
    auto* form = new QFormLayout;
    form->addRow(tr("&Time:"), _time);
    form->addRow(_repeat, _period);
    layout->addLayout(form);
    layout->addStretch();

    // Only what the user does: the refresh sets the controls without these signals.
    connect(_calendar, &QCalendarWidget::clicked, this, &DueDateTool::datePicked);
    connect(_calendar, &QCalendarWidget::activated, this, &DueDateTool::datePicked);
    connect(_time, &QTimeEdit::editingFinished, this, &DueDateTool::timeEdited);
    _time->installEventFilter(this);
    connect(_repeat, &QCheckBox::clicked, this, &DueDateTool::repeatClicked);
    connect(_period, &QComboBox::activated, this, &DueDateTool::periodChosen);
}

QWidget* DueDateTool::focusControl() {
    return _calendar;
}

void DueDateTool::render(const StatusDisplay& display) {
    const bool enabled = display.toolsEnabled;
    for (QWidget* control : std::initializer_list<QWidget*>{_calendar, _time, _repeat, _period})
        control->setEnabled(enabled);
    const std::optional<QDateTime> due = display.item ? display.item->due : std::nullopt;
    const QDateTime shown = due ? due->toLocalTime() : QDateTime(Clock::now().date(), endOfDueDay());
    _shownDue = due ? std::optional<QDateTime>(shown) : std::nullopt;
    _calendar->setSelectedDate(shown.date());
    _time->setTime(shown.time());
    _dueText->setText(due ? formatDueDate(*due) : tr("No date due"));
    const int period = display.item ? display.item->periodTag : 0;
    _repeat->setChecked(display.item && display.item->repeatOn);
    _period->setCurrentIndex(std::max(0, _period->findData(period)));
}

bool DueDateTool::eventFilter(QObject* watched, QEvent* event) {
    // However the time is reached from the keyboard, typing starts with the hours.
    if (watched == _time && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, _time,
                           [time = _time] { time->setSelectedSection(QDateTimeEdit::HourSection); });
    return ToolPage::eventFilter(watched, event);
}

void DueDateTool::datePicked(const QDate& date) {
    _document.inspectorCommands().calendarViewChanged(QDateTime(date, _time->time()));
}

void DueDateTool::timeEdited() {
    // The time of a day not yet picked is kept for when one is.
    if (!_shownDue || _time->time() == _shownDue->time())
        return;
    _document.inspectorCommands().dueTimeChanged(QDateTime(_calendar->selectedDate(), _time->time()));
}

void DueDateTool::repeatClicked(bool on) {
    if (_document.inspectorCommands().repeatCheckboxAction(on, _period->currentData().toInt()))
        _period->showPopup();
}

void DueDateTool::periodChosen(int index) {
    _document.inspectorCommands().periodChosen(_period->itemData(index).toInt());
}

} // namespace tardigo
