#include "window/due_date_editor.h"

#include "appearance/icon_for_name.h"
#include "dates/due_date_entry.h"
#include "dates/due_date_format.h"
#include "model/clock.h"
#include "widgets/qt_part_names.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFrame>
#include <QLocale>
#include <QVBoxLayout>

namespace tardigo {

DueDateEditor::DueDateEditor(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("dueDateEditor"));
    setAccessibleName(tr("Due date"));
    setPlaceholderText(tr("No due date"));
    QIcon calendarIcon =
        QIcon::fromTheme(QStringLiteral("view-calendar"), iconForName(QStringLiteral("vk_time")));
    QAction* pick = addAction(calendarIcon, QLineEdit::TrailingPosition);
    pick->setText(tr("Choose a day"));
    connect(pick, &QAction::triggered, this, &DueDateEditor::showCalendar);
}

void DueDateEditor::setDate(const QDateTime& date) {
    _original = date;
    _originalText = date.isValid() ? formatDueDate(date) : QString();
    setText(_originalText);
}

QVariant DueDateEditor::entry() const {
    if (text() == _originalText)
        return _original.isValid() ? QVariant(_original) : QVariant(QString());
    return text();
}

QDateTime DueDateEditor::typedDate() const {
    if (text() == _originalText)
        return _original;
    const DueDateEntry typed = readDueDateEntry(text());
    return typed.kind == DueDateEntry::Kind::Date ? typed.date : QDateTime();
}

int DueDateEditor::widestDateWidth(const QFontMetrics& metrics) {
    // Month and day names differ in width: the widest of a year's, at a time with seconds.
    int widest = 0;
    for (int month = 1; month <= 12; ++month)
        widest = std::max(widest, metrics.horizontalAdvance(formatDueDate(
                                      QDateTime(QDate(2028, month, 20 + month % 7), QTime(23, 58, 59)))));
    return widest;
}

int DueDateEditor::neededWidth() const {
    // The text's margins and frame, and the calendar button, which is about as wide as the field is high.
    const QMargins margins = textMargins() + contentsMargins();
    return widestDateWidth(fontMetrics()) + margins.left() + margins.right() + sizeHint().height() + 12;
}

void DueDateEditor::showCalendar() {
    if (!_popup) {
        // A child of the editor, so that the calendar taking the focus does not end the edit.
        _popup = new QFrame(this, Qt::Popup);
        _popup->setFrameShape(QFrame::StyledPanel);
        _calendar = new QCalendarWidget(_popup);
        _calendar->setObjectName(QStringLiteral("dueDateCalendar"));
        _calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        nameCalendarParts(*_calendar);
        auto* layout = new QVBoxLayout(_popup);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(_calendar);
        connect(_calendar, &QCalendarWidget::activated, this, &DueDateEditor::calendarPicked);
        connect(_calendar, &QCalendarWidget::clicked, this, &DueDateEditor::calendarPicked);
    }
    const QDateTime typed = typedDate();
    _calendar->setSelectedDate((typed.isValid() ? typed.toLocalTime() : Clock::now()).date());
    _popup->adjustSize();
    _popup->move(mapToGlobal(QPoint(width() - _popup->width(), height())));
    _popup->show();
    _calendar->setFocus();
}

void DueDateEditor::calendarPicked(QDate day) {
    // The time of day stays what it was; a new due date falls due when its day is over.
    const QDateTime typed = typedDate();
    const QTime time = typed.isValid() ? typed.toLocalTime().time() : endOfDueDay();
    setText(formatDueDate(QDateTime(day, time)));
    _popup->hide();
    setFocus();
}

} // namespace tardigo
