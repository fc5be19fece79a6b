// How the item is drawn: icon and font in our own properties, the colour both as RFC 7986 COLOR,
// which other clients show, and exactly, as archived, beside it.
#include "archive/color_value.h"
#include "ical/css_colors.h"
#include "ical/ical_properties.h"
#include "ical/todo_field.h"
#include "model/keys.h"

#include <cmath>
#include <limits>

namespace tardigo {

namespace {

constexpr const char* kIcon = "X-TARDIGO-ICON";
constexpr const char* kIconOnly = "X-TARDIGO-ICON-ONLY";
constexpr const char* kFontName = "X-TARDIGO-FONT-NAME";
constexpr const char* kFontSize = "X-TARDIGO-FONT-SIZE";
constexpr const char* kExactColor = "X-TARDIGO-COLOR";

void writeLook(const TodoContent& content, icalcomponent* todo) {
    const Dict& item = *content.item;
    if (const QString* icon = item.value(key::icon).asString())
        addXProperty(todo, kIcon, *icon);
    if (const Number* only = item.value(key::thisIconOnly).asNumber())
        addXProperty(todo, kIconOnly, QString::number(only->toInt64()));
    if (const QString* font = item.value(key::fontName).asString())
        addXProperty(todo, kFontName, *font);
    if (const Number* size = item.value(key::fontSize).asNumber())
        addXProperty(todo, kFontSize, QString::number(size->toDouble(), 'g', 17));
}

void readLook(icalcomponent* todo, TodoContent& content) {
    Dict& item = *content.item;
    if (const std::optional<QString> icon = xPropertyText(todo, kIcon))
        item.set(key::icon, *icon);
    bool ok = false;
    if (const qint64 only = xPropertyText(todo, kIconOnly).value_or(QString()).toLongLong(&ok); ok)
        item.set(key::thisIconOnly, Value::boolean(only != 0));
    if (const std::optional<QString> font = xPropertyText(todo, kFontName))
        item.set(key::fontName, *font);
    if (const double size = xPropertyText(todo, kFontSize).value_or(QString()).toDouble(&ok);
        ok && std::isfinite(size) && std::abs(size) <= std::numeric_limits<float>::max()) // stored as a float
        item.set(key::fontSize, Value::float32(size));
}

void removeLook(icalcomponent* todo) {
    for (const char* name : {kIcon, kIconOnly, kFontName, kFontSize})
        removeXProperties(todo, name);
}

/// The COLOR other clients see for our archived colour; nothing where it does not decode.
std::optional<QString> shownColorName(const QByteArray& colorData) {
    const std::optional<Rgba> rgba = rgbaFromColorData(colorData);
    return rgba ? std::optional<QString>(cssColorName(*rgba)) : std::nullopt;
}

void writeColor(const TodoContent& content, icalcomponent* todo) {
    const QByteArray* color = content.item->value(key::color).asData();
    if (!color)
        return;
    if (const std::optional<QString> name = shownColorName(*color))
        addProperty(todo, icalproperty_new_color(name->toUtf8().constData()));
    addXProperty(todo, kExactColor, QString::fromLatin1(color->toBase64()));
}

void readColor(icalcomponent* todo, TodoContent& content) {
    icalproperty* colorProperty = firstProperty(todo, ICAL_COLOR_PROPERTY);
    const std::optional<QString> shown =
        colorProperty
            ? std::optional<QString>(icalString(icalproperty_get_color(colorProperty)).trimmed().toLower())
            : std::nullopt;
    if (const std::optional<QString> exact = xPropertyText(todo, kExactColor)) {
        const auto decoded =
            QByteArray::fromBase64Encoding(exact->toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        // Ours stands while the colour other clients see is still the one we wrote for it.
        if (decoded && !decoded.decoded.isEmpty() && shownColorName(*decoded) == shown) {
            content.item->set(key::color, Value::data(*decoded));
            return;
        }
    }
    if (const std::optional<Rgba> rgba = shown ? parseCssColor(*shown) : std::nullopt)
        content.item->set(key::color, Value::data(colorDataFromRgba(*rgba)));
}

void removeColor(icalcomponent* todo) {
    removeProperties(todo, ICAL_COLOR_PROPERTY);
    removeXProperties(todo, kExactColor);
}

} // namespace

TodoField appearanceField() {
    return {writeLook, readLook, removeLook};
}
TodoField colorField() {
    return {writeColor, readColor, removeColor};
}

} // namespace tardigo
