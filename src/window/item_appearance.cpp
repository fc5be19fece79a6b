#include "window/item_appearance.h"

#include "archive/color_value.h"
#include "model/keys.h"

#include <QApplication>
#include <QFontDatabase>
#include <QSet>

namespace tardigo {

namespace {

bool isInstalledFamily(const QString& family) {
    // Asked for every drawn cell; the installed families do not change while we run.
    static const QSet<QString> families = [] {
        const QStringList list = QFontDatabase::families();
        return QSet<QString>(list.begin(), list.end());
    }();
    return families.contains(family);
}

QColor toQColor(const Rgba& rgba) {
    return QColor::fromRgbF(rgba.r, rgba.g, rgba.b, rgba.a);
}

} // namespace

QFont qFontForItemFont(const ItemFont& itemFont) {
    QFont font = QApplication::font();
    if (!itemFont.name)
        return font;
    // Stored names are PostScript names such as "Helvetica-BoldOblique": a family and a style.
    const QString& name = *itemFont.name;
    const qsizetype dash = name.indexOf(QLatin1Char('-'));
    const QString family = isInstalledFamily(name) || dash < 0 ? name : name.left(dash);
    if (!isInstalledFamily(family))
        return font;
    font.setFamily(family);
    if (dash >= 0 && family != name) {
        const QString style = name.mid(dash + 1);
        font.setBold(style.contains(QLatin1String("Bold"), Qt::CaseInsensitive));
        font.setItalic(style.contains(QLatin1String("Italic"), Qt::CaseInsensitive) ||
                       style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive));
    }
    if (itemFont.pointSize > 0)
        font.setPointSize(itemFont.pointSize);
    return font;
}

QFont itemFont(const Dict* item) {
    return qFontForItemFont(itemFontSettings(item));
}

std::optional<QColor> itemColor(const Dict& item) {
    const std::optional<Rgba> rgba = rgbaFromColorValue(item.value(key::color));
    if (!rgba)
        return std::nullopt;
    return toQColor(*rgba);
}

QColor sortedColumnTint(const QPalette& palette) {
    QColor tint = palette.color(QPalette::Highlight);
    tint.setAlpha(28);
    return tint;
}

} // namespace tardigo
