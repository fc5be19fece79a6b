#pragma once

class QCalendarWidget;
class QToolBar;

namespace tardigo {

/// Names for the parts of Qt's widgets that a screen reader finds without one.

/// The calendar's arrows, which show a picture only, the field its year button opens, and its table
/// of days.
void nameCalendarParts(QCalendarWidget& calendar);
/// The button that a toolbar too narrow for its items shows, a double arrow, for the items left out.
void nameOverflowButton(QToolBar& toolbar);

} // namespace tardigo
