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

/// A stretch of text with one set of attributes. Alignment belongs to the paragraph, so every run
/// of a paragraph carries the same one.
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
    // An attachment run holds one kAttachmentCharacter and names its file in the container.
    QString attachmentName;
    int attachmentWidth = 0; // twips
    int attachmentHeight = 0;

    bool isAttachment() const { return !attachmentName.isEmpty(); }
    /// Everything but the text is equal.
    bool sameAttributes(const TextRun& other) const;
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
