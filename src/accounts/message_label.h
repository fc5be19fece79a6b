#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace tardigo {

/// A hidden label for what a server or the keyring said: plain text that wraps, and that the user
/// may select and copy to pass on.
QLabel* messageLabel(QWidget* parent, const QString& objectName, const QString& accessibleName);
/// Makes the window that holds the widget tall enough for what it shows now, as a message that
/// appeared or wrapped onto more lines needs; the window never shrinks.
void growToShow(QWidget* widget);

} // namespace tardigo
