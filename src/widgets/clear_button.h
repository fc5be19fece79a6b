#pragma once

class QLineEdit;

namespace tardigo {

/// Shows the field's button that empties it, with a name a screen reader reads: Qt's shows a picture
/// only.
void showClearButton(QLineEdit& field);

} // namespace tardigo
