#pragma once

#include <QList>
#include <QString>

namespace tardigo {

/// The inspector's tools in the order the tool selector and the keyboard (Ctrl+Alt+1 onwards) give
/// them.
QList<int> inspectorToolOrder();
/// A tool's name, as the tool selector and the menus show it.
QString inspectorToolTitle(int tool);
/// Whether the tool acts on every selected item rather than on one.
bool inspectorToolTakesSeveralItems(int tool);

} // namespace tardigo
