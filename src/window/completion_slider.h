#pragma once

#include <QRect>

class QPainter;
class QStyleOptionViewItem;
class QWidget;

namespace tardigo {

/// The completion column's cell, from 0 to 100 %: a slim bar with the percentage, and the slider
/// the user drags.
class CompletionSlider {
public:
    /// Draws the slider at `fraction` (0 to 1) in the cell; `regularSize` for tall rows.
    static void paint(QPainter* painter, const QRect& cell, double fraction, bool regularSize,
                      const QWidget* widget);
    /// Draws the slim bar filled to `fraction`, and beside it the percentage unless it is 0.
    static void paintBar(QPainter* painter, const QStyleOptionViewItem& cell, double fraction);
    /// The fraction, in whole percents, that a press at x sets.
    static double fractionAt(const QRect& cell, int x, bool regularSize, const QWidget* widget);
};

} // namespace tardigo
