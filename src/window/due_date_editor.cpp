#include "window/due_date_editor.h"

#include "model/clock.h"
#include "platform/localized.h"
#include "window/due_date_format.h"
#include "window/icon_for_name.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFrame>
#include <QVBoxLayout>

namespace tardigo {

DueDateEditor::DueDateEditor(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("dueDateEditor"));
    setFrame(false);
    setPlaceholderText(localized(QStringLiteral("No due date")));
    QIcon calendarIcon =
        QIcon::fromTheme(QStringLiteral("view-calendar"), iconForName(QStringLiteral("vk_time")));
    QAction* pick = addAction(calendarIcon, QLineEdit::TrailingPosition);
    pick->setToolTip(localized(QStringLiteral("Choose a day")));
    connect(pick, &QAction::triggered, this, &DueDateEditor::showCalendar);
}

void DueDateEditor::setDate(const QDateTime& date) {
    _original = date;
    _originalText = date.isValid() ? formatDueDate(date) : QString();
    setText(_originalText);
}

QDateTime DueDateEditor::date() const {
    if (text() == _originalText)
        return _original;
    return parseDueDate(text());
}

void DueDateEditor::showCalendar() {
    if (!_popup) {
        // A child of the editor, so that the calendar taking the focus does not end the edit.
        _popup = new QFrame(this, Qt::Popup);
        _popup->setFrameShape(QFrame::StyledPanel);
        _calendar = new QCalendarWidget(_popup);
        _calendar->setObjectName(QStringLiteral("dueDateCalendar"));
        _calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        auto* layout = new QVBoxLayout(_popup);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(_calendar);
        connect(_calendar, &QCalendarWidget::activated, this, &DueDateEditor::calendarPicked);
        connect(_calendar, &QCalendarWidget::clicked, this, &DueDateEditor::calendarPicked);
    }
    const QDateTime shown = date().isValid() ? date().toLocalTime() : Clock::now();
    _calendar->setSelectedDate(shown.date());
    _popup->adjustSize();
    _popup->move(mapToGlobal(QPoint(width() - _popup->width(), height())));
    _popup->show();
    _calendar->setFocus();
}

void DueDateEditor::calendarPicked(QDate day) {
    // The time of day stays what it was; a new due date starts at midnight.
    const QDateTime current = date().isValid() ? date().toLocalTime() : QDateTime(day, QTime(0, 0));
    setText(formatDueDate(QDateTime(day, current.time())));
    _popup->hide();
    setFocus();
}

} // namespace tardigo
