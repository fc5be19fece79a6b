#pragma once

#include "model/rgba.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace tardigo {

/// Paragraph alignment; Natural follows the writing direction.
enum class Alignment { Natural, Left, Center, Right, Justified };

/// The family the platform uses for rich text that names none.
inline const QString kDefaultFontFamily = QStringLiteral("Helvetica");

/// The character that stands for an attachment in the text.
inline constexpr char16_t kAttachmentCharacter = u'\uFFFC';

/// How the items of a list are marked: a bullet shape, or a kind of number.
enum class ListStyle { Disc, Circle, Square, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

/// A paragraph's place in a list. Paragraphs with the same list number form one list, which may
/// nest: its items at level 1 stand under those at level 0.
struct ListPlace {
    int list = 0; // 0: the paragraph is in no list; else lists count from 1 in the order they start
    int level = 0;
    ListStyle style = ListStyle::Disc;

    bool inList() const { return list > 0; }
    bool operator==(const ListPlace& other) const = default;
};

/// A stretch of text with one set of attributes. Alignment and the list belong to the paragraph, so
/// every run of a paragraph carries the same ones.
struct TextRun {
    QString text;
    QString fontFamily; // empty: kDefaultFontFamily
    double fontSize = 12.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::optional<Rgba> color; // none: the default text colour
    Alignment alignment = Alignment::Natural;
    ListPlace list;
    QString link; // the target of a link; empty: the text links nowhere
    // An attachment run holds one kAttachmentCharacter and names its file in the container.
    QString attachmentName;
    int attachmentWidth = 0; // twips
    int attachmentHeight = 0;

    bool isAttachment() const { return !attachmentName.isEmpty(); }
    /// Everything but the text is equal.
    bool sameAttributes(const TextRun& other) const;
    /// The paragraph's attributes are equal.
    bool sameParagraph(const TextRun& other) const {
        return alignment == other.alignment && list == other.list;
    }
    bool operator==(const TextRun& other) const = default;
};

/// Rich text in a form that needs no GUI: styled runs plus the attachment files.
struct RichText {
    QString plainText; // the runs' texts joined; attachments are kAttachmentCharacter
    std::vector<TextRun> runs;
    std::vector<std::pair<QString, QByteArray>> attachments; // file name, contents

    /// Rich text made of these runs, with plainText filled in and neighbours of equal style merged.
    static RichText fromRuns(std::vector<TextRun> runs);
    /// The characters alone: no attachment characters, line separators as line feeds.
    QString readableText() const;
    bool operator==(const RichText& other) const = default;
};

} // namespace tardigo
