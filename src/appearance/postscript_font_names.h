#pragma once

#include <QString>

#include <optional>

class QFont;

namespace tardigo {

/// One face of an installed font family, named as fontconfig and Qt name it ("Nimbus Sans", "Bold"),
/// with the foundry that tells two families of one name apart ("urw"; empty when unknown).
struct FontFace {
    QString family;
    QString style;
    QString foundry;
    /// The same family and style; a foundry counts only when both faces know it.
    bool operator==(const FontFace& other) const;
};

// Lists store a font by the PostScript-style name a Mac gives it ("Helvetica-Bold").
// Qt has no way to find a font by that name; fontconfig has.

/// The installed face a PostScript-style name stands for: the face of exactly that name, or else the
/// family and style the name is made of ("Helvetica-BoldOblique": Helvetica, bold and slanted) in the
/// font the system shows for that family. None when the system has neither.
std::optional<FontFace> fontFaceForPostScriptName(const QString& name);
/// The PostScript-style name of an installed face; empty when fontconfig knows no such face.
QString postScriptNameForFace(const FontFace& face);
/// The font Qt draws a face in, at Qt's default size.
QFont qFontForFace(const FontFace& face);
/// The face Qt draws a font in.
FontFace faceOfFont(const QFont& font);

} // namespace tardigo
