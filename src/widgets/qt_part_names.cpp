#include "widgets/qt_part_names.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

namespace tardigo {

namespace {

void name(QWidget* part, const char* text) {
    if (part)
        part->setAccessibleName(QCoreApplication::translate("QtPartNames", text));
}

} // namespace

void nameCalendarParts(QCalendarWidget& calendar) {
    name(calendar.findChild<QToolButton*>(QStringLiteral("qt_calendar_prevmonth")),
         QT_TRANSLATE_NOOP("QtPartNames", "Previous month"));
    name(calendar.findChild<QToolButton*>(QStringLiteral("qt_calendar_nextmonth")),
         QT_TRANSLATE_NOOP("QtPartNames", "Next month"));
    name(calendar.findChild<QSpinBox*>(QStringLiteral("qt_calendar_yearedit")),
         QT_TRANSLATE_NOOP("QtPartNames", "Year"));
    name(calendar.findChild<QAbstractItemView*>(), QT_TRANSLATE_NOOP("QtPartNames", "Days of the month"));
}

void nameOverflowButton(QToolBar& toolbar) {
    name(toolbar.findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button")),
         QT_TRANSLATE_NOOP("QtPartNames", "More toolbar buttons"));
}

} // namespace tardigo
