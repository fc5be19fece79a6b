#include "appearance/item_appearance.h"

#include "appearance/postscript_font_names.h"
#include "archive/color_value.h"
#include "model/keys.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHash>

namespace tardigo {

namespace {

QColor toQColor(const Rgba& rgba) {
    return QColor::fromRgbF(rgba.r, rgba.g, rgba.b, rgba.a);
}

/// The installed font a stored PostScript-style name stands for, at its size; none when no installed
/// font shows it.
std::optional<QFont> installedFont(const QString& name, int pointSize) {
    // Asked for every cell drawn.
    static QHash<QString, std::optional<QFont>> fonts;
    auto found = fonts.find(name);
    if (found == fonts.end()) {
        const std::optional<FontFace> face = fontFaceForPostScriptName(name);
        found = fonts.insert(name, face ? std::optional<QFont>(qFontForFace(*face)) : std::nullopt);
    }
    if (!*found)
        return std::nullopt;
    QFont font = **found;
    if (pointSize > 0)
        font.setPointSize(pointSize);
    return font;
}

} // namespace

QFont defaultItemFont() {
    const ItemFont font = userDefaultFont();
    if (font.name)
        if (const std::optional<QFont> chosen = installedFont(*font.name, font.pointSize))
            return *chosen;
    return QApplication::font();
}

QFont qFontForItemFont(const ItemFont& itemFont) {
    if (itemFont.name)
        if (const std::optional<QFont> font = installedFont(*itemFont.name, itemFont.pointSize))
            return *font;
    return defaultItemFont();
}

int rowHeightForFont(const QFont& font) {
    return QFontMetrics(font).height() + 4;
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
