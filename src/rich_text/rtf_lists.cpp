#include "rich_text/rtf_lists.h"

#include <array>

namespace tardigo {

namespace {

struct StyleEntry {
    ListStyle style;
    int numberFormat;
    const char* markerName;
    char16_t bullet; // 0 for numbered styles
};

// The number formats are RTF's: 0 decimal, 1 and 2 upper and lower roman, 3 and 4 upper and lower
// letters, 23 a bullet.
constexpr std::array kStyles = std::to_array<StyleEntry>({
    {ListStyle::Disc, 23, "disc", u'\u2022'},
    {ListStyle::Circle, 23, "circle", u'\u25E6'},
    {ListStyle::Square, 23, "square", u'\u25AA'},
    {ListStyle::Decimal, 0, "decimal", 0},
    {ListStyle::LowerAlpha, 4, "lower-alpha", 0},
    {ListStyle::UpperAlpha, 3, "upper-alpha", 0},
    {ListStyle::LowerRoman, 2, "lower-roman", 0},
    {ListStyle::UpperRoman, 1, "upper-roman", 0},
});

const StyleEntry& entryOf(ListStyle style) {
    for (const StyleEntry& entry : kStyles)
        if (entry.style == style)
            return entry;
    return kStyles.front();
}

QString letters(int number, char16_t a) {
    QString text;
    for (int n = number; n > 0; n = (n - 1) / 26)
        text.prepend(QChar(char16_t(a + (n - 1) % 26)));
    return text;
}

QString roman(int number) {
    static constexpr std::array<std::pair<int, const char*>, 13> kNumerals{{{1000, "m"},
                                                                            {900, "cm"},
                                                                            {500, "d"},
                                                                            {400, "cd"},
                                                                            {100, "c"},
                                                                            {90, "xc"},
                                                                            {50, "l"},
                                                                            {40, "xl"},
                                                                            {10, "x"},
                                                                            {9, "ix"},
                                                                            {5, "v"},
                                                                            {4, "iv"},
                                                                            {1, "i"}}};
    QString text;
    for (const auto& [value, numeral] : kNumerals)
        for (; number >= value; number -= value)
            text += QLatin1String(numeral);
    return text;
}

} // namespace

int rtfNumberFormat(ListStyle style) {
    return entryOf(style).numberFormat;
}

ListStyle listStyleOfNumberFormat(int numberFormat) {
    for (const StyleEntry& entry : kStyles)
        if (entry.numberFormat == numberFormat)
            return entry.style;
    return ListStyle::Disc;
}

QString rtfMarkerName(ListStyle style) {
    return QLatin1String(entryOf(style).markerName);
}

std::optional<ListStyle> listStyleOfMarker(const QString& marker) {
    const qsizetype open = marker.indexOf(u'{');
    const qsizetype close = marker.indexOf(u'}', open + 1);
    if (open < 0 || close < 0)
        return std::nullopt;
    const QStringView name = QStringView(marker).mid(open + 1, close - open - 1).trimmed();
    for (const StyleEntry& entry : kStyles)
        if (name == QLatin1String(entry.markerName))
            return entry.style;
    // The platform's other bullets (hyphen, check ...) show as discs here.
    if (name == u"hyphen" || name == u"check" || name == u"diamond" || name == u"box")
        return ListStyle::Disc;
    return std::nullopt;
}

bool isNumbered(ListStyle style) {
    return entryOf(style).bullet == 0;
}

QString listMarkerText(ListStyle style, int number) {
    if (const char16_t bullet = entryOf(style).bullet)
        return QString(QChar(bullet));
    switch (style) {
    case ListStyle::LowerAlpha:
        return letters(number, u'a') + u'.';
    case ListStyle::UpperAlpha:
        return letters(number, u'A') + u'.';
    case ListStyle::LowerRoman:
        return roman(number) + u'.';
    case ListStyle::UpperRoman:
        return roman(number).toUpper() + u'.';
    default:
        return QString::number(number) + u'.';
    }
}

QString ListNumbering::nextMarker(const ListPlace& place) {
    std::vector<int>& counts = _counts[place.list];
    const size_t level = size_t(std::max(place.level, 0));
    counts.resize(level + 1, 0);
    return listMarkerText(place.style, ++counts[level]);
}

} // namespace tardigo
