#pragma once

#include <QRect>

class QPainter;
class QWidget;

namespace tardigo {

/// The slider the completion column draws in each cell, from 0 to 100 %.
class CompletionSlider {
public:
    /// Draws the slider at `fraction` (0 to 1) in the cell; `regularSize` for tall rows.
    static void paint(QPainter* painter, const QRect& cell, double fraction, bool regularSize,
                      const QWidget* widget);
    /// The fraction, in whole percents, that a press at x sets.
    static double fractionAt(const QRect& cell, int x, bool regularSize, const QWidget* widget);
};

} // namespace tardigo
