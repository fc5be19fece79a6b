#pragma once

#include <QString>

namespace tardigo {

/// The margins of a printed page, in points.
struct PrintMargins {
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
};

/// The margins for paper of this width, in points: 5% of the width at the left, right and bottom,
/// 8% at the top, whatever the paper's height.
PrintMargins printMarginsForPaperWidth(double paperWidth);

/// The footer line of a page: the page number, the list's name and the time of printing, four
/// spaces apart.
QString pageFooterText(int pageNumber, const QString& listName);

} // namespace tardigo
