#pragma once

#include "rich_text/rich_text.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace tardigo {

/// The RTF number format (\levelnfc) of a list style.
int rtfNumberFormat(ListStyle style);
/// The list style of an RTF number format; bullets are discs.
ListStyle listStyleOfNumberFormat(int numberFormat);

/// The marker name the platform writes in \levelmarker, without its braces: "disc", "decimal" ...
QString rtfMarkerName(ListStyle style);
/// The list style of a \levelmarker text such as "{circle}" or "{decimal}."; none for a name not
/// known.
std::optional<ListStyle> listStyleOfMarker(const QString& marker);

/// Whether the style numbers its items rather than marking them with a bullet.
bool isNumbered(ListStyle style);
/// The marker of the list's item with this number (from 1), as a reader sees it: "•", "3.", "c.",
/// "iv.".
QString listMarkerText(ListStyle style, int number);

/// Counts the items of the lists of a text, paragraph by paragraph, as a reader numbers them: an
/// item at one level starts the numbers of the levels below it afresh.
class ListNumbering {
public:
    /// The marker of the next item at this place.
    QString nextMarker(const ListPlace& place);

private:
    std::map<int, std::vector<int>> _counts; // of each list, the items counted at each level
};

} // namespace tardigo
