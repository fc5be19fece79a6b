#include "window/rich_text_document.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

namespace tardigo {

namespace {

Qt::Alignment qtAlignment(Alignment alignment) {
    switch (alignment) {
    case Alignment::Left:
        return Qt::AlignLeft | Qt::AlignAbsolute;
    case Alignment::Center:
        return Qt::AlignHCenter;
    case Alignment::Right:
        return Qt::AlignRight | Qt::AlignAbsolute;
    case Alignment::Justified:
        return Qt::AlignJustify;
    case Alignment::Natural:
        break;
    }
    return Qt::AlignLeading;
}

Alignment alignmentOf(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter)
        return Alignment::Center;
    if (alignment & Qt::AlignJustify)
        return Alignment::Justified;
    if ((alignment & Qt::AlignRight) && (alignment & Qt::AlignAbsolute))
        return Alignment::Right;
    if ((alignment & Qt::AlignLeft) && (alignment & Qt::AlignAbsolute))
        return Alignment::Left;
    return Alignment::Natural;
}

QTextCharFormat charFormat(const TextRun& run) {
    QTextCharFormat format;
    format.setFontFamilies({run.fontFamily.isEmpty() ? kDefaultFontFamily : run.fontFamily});
    format.setFontPointSize(run.fontSize > 0 ? run.fontSize : 12.0);
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(run.italic);
    format.setFontUnderline(run.underline);
    format.setFontStrikeOut(run.strike);
    if (run.color)
        format.setForeground(QColor::fromRgbF(run.color->r, run.color->g, run.color->b, run.color->a));
    return format;
}

TextRun runOf(const QString& text, const QTextCharFormat& format, Qt::Alignment alignment) {
    TextRun run;
    run.text = text;
    const QStringList families = format.fontFamilies().toStringList();
    run.fontFamily = families.isEmpty() ? QString() : families.front();
    run.fontSize = format.fontPointSize() > 0 ? format.fontPointSize() : 12.0;
    run.bold = format.fontWeight() >= QFont::DemiBold;
    run.italic = format.fontItalic();
    run.underline = format.fontUnderline();
    run.strike = format.fontStrikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush)) {
        const QColor color = format.foreground().color();
        run.color =
            Rgba{float(color.redF()), float(color.greenF()), float(color.blueF()), float(color.alphaF())};
    }
    run.alignment = alignmentOf(alignment);
    return run;
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

std::unique_ptr<QTextDocument> toTextDocument(const RichText& text) {
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    insertRichText(cursor, text);
    return document;
}

void insertRichText(QTextCursor& cursor, const RichText& text) {
    QTextDocument* document = cursor.document();
    for (const TextRun& run : text.runs) {
        QTextBlockFormat block = cursor.blockFormat();
        block.setAlignment(qtAlignment(run.alignment));
        cursor.setBlockFormat(block);
        const QTextCharFormat format = charFormat(run);
        if (run.isAttachment()) {
            const auto found =
                std::find_if(text.attachments.begin(), text.attachments.end(),
                             [&](const auto& file) { return file.first == run.attachmentName; });
            const QImage image = found != text.attachments.end() ? QImage::fromData(found->second) : QImage();
            if (!image.isNull()) {
                document->addResource(QTextDocument::ImageResource, QUrl(run.attachmentName), image);
                QTextImageFormat imageFormat;
                imageFormat.setName(run.attachmentName);
                cursor.insertImage(imageFormat);
            }
            continue;
        }
        // Line feeds and paragraph separators start new paragraphs; line separators stay in one.
        QString part;
        for (const QChar c : run.text) {
            if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator) {
                cursor.insertText(part, format);
                part.clear();
                cursor.insertBlock(block, format);
            } else {
                part += c;
            }
        }
        cursor.insertText(part, format);
    }
}

RichText fromTextDocument(const QTextDocument& document) {
    std::vector<TextRun> runs;
    std::vector<std::pair<QString, QByteArray>> attachments;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const Qt::Alignment alignment = block.blockFormat().alignment();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            if (fragment.charFormat().isImageFormat()) {
                const QString name = fragment.charFormat().toImageFormat().name();
                const QImage image =
                    document.resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
                if (image.isNull())
                    continue;
                TextRun run = runOf(QString(kAttachmentCharacter), fragment.charFormat(), alignment);
                run.attachmentName =
                    name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) ? name : name + ".png";
                run.attachmentWidth = image.width() * 20;
                run.attachmentHeight = image.height() * 20;
                attachments.emplace_back(run.attachmentName, pngBytes(image));
                runs.push_back(std::move(run));
                continue;
            }
            runs.push_back(runOf(fragment.text(), fragment.charFormat(), alignment));
        }
        if (block.next().isValid()) {
            TextRun lineFeed = runs.empty() ? TextRun{} : runs.back();
            lineFeed.text = QStringLiteral("\n");
            lineFeed.attachmentName.clear();
            lineFeed.alignment = alignmentOf(alignment);
            runs.push_back(std::move(lineFeed));
        }
    }
    RichText text = RichText::fromRuns(std::move(runs));
    text.attachments = std::move(attachments);
    return text;
}

} // namespace tardigo
