#pragma once

class QMessageBox;

namespace tardigo {

/// Gives a message box a comfortable reading width: left to itself, a box wraps a long informative
/// text into a narrow column of a few words a line.
void giveReadingWidth(QMessageBox& box);

} // namespace tardigo
