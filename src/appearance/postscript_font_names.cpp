#include "appearance/postscript_font_names.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace tardigo {

namespace {

using Pattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;
using FontSet = std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)>;
using ObjectSet = std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)>;

const FcChar8* text(const QByteArray& utf8) {
    return reinterpret_cast<const FcChar8*>(utf8.constData());
}

/// A font's first (English) name for the object; a font may list several.
QString stringOf(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    return FcPatternGetString(pattern, object, 0, &value) == FcResultMatch
               ? QString::fromUtf8(reinterpret_cast<const char*>(value))
               : QString();
}

FontFace faceOf(FcPattern* font) {
    const QString foundry = stringOf(font, FC_FOUNDRY).trimmed();
    return {stringOf(font, FC_FAMILY), stringOf(font, FC_STYLE),
            foundry == QLatin1String("UKWN") ? QString() : foundry};
}

/// The installed fonts the pattern lists.
FontSet listed(FcPattern* pattern) {
    const ObjectSet objects(FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FOUNDRY, FC_POSTSCRIPT_NAME, nullptr),
                            &FcObjectSetDestroy);
    return FontSet(FcFontList(nullptr, pattern, objects.get()), &FcFontSetDestroy);
}

/// The font the system shows for a family in a weight and slant, whether it has that family or not.
Pattern bestMatch(const QString& family, int weight, int slant) {
    const Pattern pattern(FcPatternCreate(), &FcPatternDestroy);
    FcPatternAddString(pattern.get(), FC_FAMILY, text(family.toUtf8()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, weight);
    FcPatternAddInteger(pattern.get(), FC_SLANT, slant);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    return Pattern(FcFontMatch(nullptr, pattern.get(), &result), &FcPatternDestroy);
}

QString withoutSpaces(QString name) {
    return name.remove(u' ').toLower();
}

/// The weight and slant the words of a style name give: "BoldOblique", "Condensed Bold Italic".
struct StyleParts {
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
};

StyleParts partsOfStyle(const QString& style) {
    const auto has = [&](const char* word) {
        return style.contains(QLatin1String(word), Qt::CaseInsensitive);
    };
    StyleParts parts;
    if (has("Black") || has("Heavy"))
        parts.weight = FC_WEIGHT_BLACK;
    else if (has("Semibold") || has("Demi"))
        parts.weight = FC_WEIGHT_DEMIBOLD;
    else if (has("Bold"))
        parts.weight = FC_WEIGHT_BOLD;
    else if (has("Medium"))
        parts.weight = FC_WEIGHT_MEDIUM;
    else if (has("Light"))
        parts.weight = FC_WEIGHT_LIGHT;
    if (has("Italic"))
        parts.slant = FC_SLANT_ITALIC;
    else if (has("Oblique"))
        parts.slant = FC_SLANT_OBLIQUE;
    return parts;
}

/// The family a PostScript-style name is made of: "TimesNewRomanPS-BoldItalicMT" is Times New Roman.
QString familyOfName(const QString& name) {
    QString family = name.section(u'-', 0, 0);
    // The vendors' suffixes are no part of the family's name.
    for (const QLatin1String suffix : {QLatin1String("PSMT"), QLatin1String("MT"), QLatin1String("PS")})
        if (family.endsWith(suffix) && family.size() > suffix.size())
            family.chop(suffix.size());
    QString words;
    for (qsizetype i = 0; i < family.size(); ++i) {
        if (i > 0 && family.at(i).isUpper() && family.at(i - 1).isLower())
            words += u' ';
        words += family.at(i);
    }
    return words;
}

std::optional<FontFace> lookUpFace(const QString& name) {
    const Pattern named(FcPatternCreate(), &FcPatternDestroy);
    FcPatternAddString(named.get(), FC_POSTSCRIPT_NAME, text(name.toUtf8()));
    if (const FontSet exact = listed(named.get()); exact && exact->nfont > 0)
        return faceOf(exact->fonts[0]);
    const QString family = familyOfName(name);
    const StyleParts style = partsOfStyle(name.section(u'-', 1));
    const Pattern match = bestMatch(family, style.weight, style.slant);
    if (!match)
        return std::nullopt;
    // Any family matches something: the system's default font, unless it has the family or a
    // font it puts in its place (Nimbus Sans for Helvetica).
    const Pattern fallback = bestMatch(QStringLiteral("Tardigo No Such Family"), style.weight, style.slant);
    const bool shown = withoutSpaces(stringOf(match.get(), FC_FAMILY)) == withoutSpaces(family) ||
                       !fallback || stringOf(match.get(), FC_FILE) != stringOf(fallback.get(), FC_FILE);
    return shown ? std::optional<FontFace>(faceOf(match.get())) : std::nullopt;
}

/// A family name as Qt gives it, without the foundry Qt adds when two foundries make a family of
/// that name ("Nimbus Sans [urw]"), and that foundry.
std::pair<QString, QString> splitFoundry(const QString& qtFamily) {
    const qsizetype bracket = qtFamily.lastIndexOf(QLatin1String(" ["));
    if (bracket <= 0 || !qtFamily.endsWith(u']'))
        return {qtFamily, QString()};
    const QString foundry = qtFamily.mid(bracket + 2, qtFamily.size() - bracket - 3).trimmed();
    return {qtFamily.left(bracket), foundry == QLatin1String("UKWN") ? QString() : foundry};
}

/// The name Qt knows the face's family by: with the foundry of the face where Qt adds one, or of any
/// foundry that has the face's style.
QString qtFamilyOf(const FontFace& face) {
    static const QHash<QString, QStringList> namesOfFamily = [] {
        QHash<QString, QStringList> names;
        for (const QString& name : QFontDatabase::families())
            names[splitFoundry(name).first].append(name);
        return names;
    }();
    const QStringList names = namesOfFamily.value(face.family);
    const auto hasStyle = [&](const QString& name) {
        return QFontDatabase::styles(name).contains(face.style);
    };
    for (const QString& name : names)
        if (splitFoundry(name).second.compare(face.foundry.trimmed(), Qt::CaseInsensitive) == 0 &&
            hasStyle(name))
            return name;
    for (const QString& name : names)
        if (hasStyle(name))
            return name;
    return face.family;
}

} // namespace

bool FontFace::operator==(const FontFace& other) const {
    return family == other.family && style == other.style &&
           (foundry.isEmpty() || other.foundry.isEmpty() ||
            foundry.trimmed().compare(other.foundry.trimmed(), Qt::CaseInsensitive) == 0);
}

std::optional<FontFace> fontFaceForPostScriptName(const QString& name) {
    // Asked for every row drawn; fontconfig takes its time, and the installed fonts stay.
    static QHash<QString, std::optional<FontFace>> known;
    if (name.isEmpty())
        return std::nullopt;
    const auto found = known.constFind(name);
    if (found != known.constEnd())
        return *found;
    return *known.insert(name, lookUpFace(name));
}

QString postScriptNameForFace(const FontFace& face) {
    const Pattern pattern(FcPatternCreate(), &FcPatternDestroy);
    FcPatternAddString(pattern.get(), FC_FAMILY, text(face.family.toUtf8()));
    FcPatternAddString(pattern.get(), FC_STYLE, text(face.style.toUtf8()));
    const FontSet fonts = listed(pattern.get());
    // A font answers to every family and style name it lists ("DejaVu Sans Condensed" also to
    // "DejaVu Sans" and "Book"): the face is the one whose own first names these are.
    for (int i = 0; fonts && i < fonts->nfont; ++i)
        if (faceOf(fonts->fonts[i]) == face)
            return stringOf(fonts->fonts[i], FC_POSTSCRIPT_NAME);
    return QString();
}

QFont qFontForFace(const FontFace& face) {
    QFont font(qtFamilyOf(face));
    font.setStyleName(face.style);
    // Said twice, so that what asks for the weight and slant rather than the style hears it too.
    const StyleParts parts = partsOfStyle(face.style);
    font.setBold(parts.weight >= FC_WEIGHT_DEMIBOLD);
    font.setItalic(parts.slant != FC_SLANT_ROMAN);
    return font;
}

FontFace faceOfFont(const QFont& font) {
    const QFontInfo info(font);
    const auto [family, foundry] = splitFoundry(info.family());
    return {family, info.styleName(), foundry};
}

} // namespace tardigo
