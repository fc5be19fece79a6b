#pragma once

#include <QString>

class QFontMetrics;
class QMessageBox;
class QWidget;

namespace tardigo {

/// The title whole when it fits `width` pixels, else the words of it that fit, followed by "…". A
/// title bar too narrow for a title cuts it where the desktop likes, often in the middle of a word.
QString titleToFit(const QString& title, const QFontMetrics& metrics, int width);
/// Gives a message box a window title its title bar shows whole: a message's title is a sentence,
/// longer than a title bar above the box's reading width holds.
void setFittingWindowTitle(QWidget& box, const QString& title);
/// Gives a message box a comfortable reading width: left to itself, a box wraps a long informative
/// text into a narrow column of a few words a line.
void giveReadingWidth(QMessageBox& box);

} // namespace tardigo
