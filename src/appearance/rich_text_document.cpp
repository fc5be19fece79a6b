#include "appearance/rich_text_document.h"

#include "appearance/readable_color.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace tardigo {

namespace {

// A length in points of a picture, in the twips the notes store.
constexpr int kTwipsPerPoint = 20;
// The size an attachment had in the notes, in twips, kept on its format.
constexpr int kAttachmentWidthProperty = QTextFormat::UserProperty + 1;
constexpr int kAttachmentHeightProperty = QTextFormat::UserProperty + 2;
// A colour shown lighter than it is stored, over a dark background: the stored one and the one shown.
constexpr int kStoredColorProperty = QTextFormat::UserProperty + 3;
constexpr int kShownColorProperty = QTextFormat::UserProperty + 4;
// The name the platform gives a picture that came without one.
const QString kPastedPictureName = QStringLiteral("Pasted Graphic");

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

constexpr std::pair<ListStyle, QTextListFormat::Style> kListStyles[] = {
    {ListStyle::Disc, QTextListFormat::ListDisc},
    {ListStyle::Circle, QTextListFormat::ListCircle},
    {ListStyle::Square, QTextListFormat::ListSquare},
    {ListStyle::Decimal, QTextListFormat::ListDecimal},
    {ListStyle::LowerAlpha, QTextListFormat::ListLowerAlpha},
    {ListStyle::UpperAlpha, QTextListFormat::ListUpperAlpha},
    {ListStyle::LowerRoman, QTextListFormat::ListLowerRoman},
    {ListStyle::UpperRoman, QTextListFormat::ListUpperRoman},
};

QTextListFormat::Style qtListStyle(ListStyle style) {
    for (const auto& [ours, qt] : kListStyles)
        if (ours == style)
            return qt;
    return QTextListFormat::ListDisc;
}

ListStyle listStyleOf(QTextListFormat::Style style) {
    for (const auto& [ours, qt] : kListStyles)
        if (qt == style)
            return ours;
    return ListStyle::Disc;
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
    if (!run.link.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(run.link);
    }
    return format;
}

// The run of a fragment, in the font it is shown in: sizes and families the document gives by
// default, by a heading's size or in pixels are all stored as the points they come to.
TextRun runOf(const QString& text, const QTextCharFormat& format, Alignment alignment) {
    TextRun run;
    run.text = text;
    const QFont font = format.font();
    run.fontFamily = font.families().value(0, font.family());
    run.fontSize = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    if (run.fontSize <= 0)
        run.fontSize = 12.0;
    run.bold = font.weight() >= QFont::DemiBold;
    run.italic = font.italic();
    run.underline = font.underline();
    run.strike = font.strikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush) {
        QColor color = format.foreground().color();
        // Text not recoloured since it was shown readable keeps the colour it came with.
        if (format.hasProperty(kStoredColorProperty) && format.colorProperty(kShownColorProperty) == color)
            color = format.colorProperty(kStoredColorProperty);
        run.color =
            Rgba{float(color.redF()), float(color.greenF()), float(color.blueF()), float(color.alphaF())};
    }
    if (format.isAnchor())
        run.link = format.anchorHref();
    run.alignment = alignment;
    return run;
}

// Where the document keeps an attachment's file as it came. A scheme of its own, so that no lookup
// falls through to a file on disk that a name happens to name.
QUrl originalFileUrl(const QString& attachmentName) {
    QUrl url;
    url.setScheme(QStringLiteral("tardigo-attachment"));
    url.setPath(attachmentName, QUrl::DecodedMode);
    return url;
}

QImage shownImage(const QTextDocument& document, const QString& name) {
    const QVariant shown = document.resource(QTextDocument::ImageResource, QUrl(name));
    if (shown.typeId() == QMetaType::QImage)
        return shown.value<QImage>();
    if (shown.typeId() == QMetaType::QPixmap)
        return shown.value<QPixmap>().toImage();
    if (shown.typeId() == QMetaType::QByteArray)
        return QImage::fromData(shown.toByteArray());
    return QImage();
}

QByteArray pngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// What stands in the text for an attachment that is no picture: a small card with its name.
QImage fileCard(const QString& name) {
    QFont font;
    const QFontMetrics metrics(font);
    const QString label = metrics.elidedText(QStringLiteral("\U0001F4CE ") + name, Qt::ElideMiddle, 300);
    QImage card(metrics.horizontalAdvance(label) + 12, metrics.height() + 8, QImage::Format_ARGB32);
    card.fill(QColor(0xee, 0xee, 0xee));
    QPainter painter(&card);
    painter.setPen(QColor(0x88, 0x88, 0x88));
    painter.drawRect(card.rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.setFont(font);
    painter.drawText(card.rect(), Qt::AlignCenter, label);
    return card;
}

// Builds a text document's paragraphs and lists from runs.
class DocumentBuilder {
public:
    DocumentBuilder(QTextCursor& cursor, const RichText& text) : _cursor(cursor), _text(text) {}
    void build();

private:
    void startParagraph(const TextRun& run);
    void insertAttachment(const TextRun& run);

    QTextCursor& _cursor;
    const RichText& _text;
    std::map<std::pair<int, int>, QTextList*> _lists; // by list number and level
};

void DocumentBuilder::build() {
    bool paragraphStart = true;
    for (const TextRun& run : _text.runs) {
        if (run.text.isEmpty())
            continue;
        if (paragraphStart)
            startParagraph(run);
        paragraphStart = false;
        if (run.isAttachment()) {
            insertAttachment(run);
            continue;
        }
        // Line feeds and paragraph separators start new paragraphs; line separators stay in one.
        const QTextCharFormat format = charFormat(run);
        QString part;
        for (qsizetype i = 0; i < run.text.size(); ++i) {
            const QChar c = run.text[i];
            if (c != u'\n' && c != u'\r' && c != QChar::ParagraphSeparator) {
                part += c;
                continue;
            }
            _cursor.insertText(part, format);
            part.clear();
            _cursor.insertBlock(QTextBlockFormat(), format);
            paragraphStart = i + 1 == run.text.size();
            if (!paragraphStart)
                startParagraph(run);
        }
        _cursor.insertText(part, format);
    }
}

void DocumentBuilder::startParagraph(const TextRun& run) {
    QTextBlockFormat block;
    block.setAlignment(qtAlignment(run.alignment));
    _cursor.setBlockFormat(block);
    if (!run.list.inList())
        return;
    // An item starts the levels below it afresh, so that their numbers count from one again.
    const int level = std::max(run.list.level, 0);
    std::erase_if(_lists, [&](const auto& entry) {
        return entry.first.first == run.list.list && entry.first.second > level;
    });
    QTextList*& list = _lists[{run.list.list, level}];
    if (list) {
        list->add(_cursor.block());
        return;
    }
    QTextListFormat format;
    format.setStyle(qtListStyle(run.list.style));
    format.setIndent(level + 1);
    list = _cursor.createList(format);
}

void DocumentBuilder::insertAttachment(const TextRun& run) {
    const auto found = std::find_if(_text.attachments.begin(), _text.attachments.end(),
                                    [&](const auto& file) { return file.first == run.attachmentName; });
    if (found == _text.attachments.end())
        return; // nothing to show or to keep
    QTextDocument* document = _cursor.document();
    const QUrl name(run.attachmentName);
    const QImage picture = QImage::fromData(found->second);
    document->addResource(QTextDocument::ImageResource, name,
                          picture.isNull() ? fileCard(run.attachmentName) : picture);
    // The file itself, kept as it came, whatever the text shows of it.
    document->addResource(QTextDocument::UserResource, originalFileUrl(run.attachmentName), found->second);
    QTextImageFormat format;
    format.merge(charFormat(run));
    format.setName(run.attachmentName);
    if (run.attachmentWidth > 0 && run.attachmentHeight > 0) {
        format.setProperty(kAttachmentWidthProperty, run.attachmentWidth);
        format.setProperty(kAttachmentHeightProperty, run.attachmentHeight);
        if (!picture.isNull()) {
            format.setWidth(double(run.attachmentWidth) / kTwipsPerPoint);
            format.setHeight(double(run.attachmentHeight) / kTwipsPerPoint);
        }
    }
    _cursor.insertImage(format);
}

// Reads a document's paragraphs, lists and pictures back into runs and attachments.
class DocumentReader {
public:
    explicit DocumentReader(const QTextDocument& document) : _document(document) {}
    RichText read();

private:
    ListPlace listPlaceOf(const QTextBlock& block);
    void readPicture(const QTextImageFormat& format, TextRun run);
    QString freeName(const QString& wanted);

    const QTextDocument& _document;
    std::vector<TextRun> _runs;
    std::vector<std::pair<QString, QByteArray>> _attachments;
    std::map<QString, QString> _pictureNames; // the document's name of a picture to its file's
    std::set<QString> _fileNames;
    std::map<const QTextList*, int> _listNumbers;
    int _previousList = 0; // the list of the paragraph before, if it was in one
    int _previousLevel = 0;
};

RichText DocumentReader::read() {
    for (QTextBlock block = _document.begin(); block.isValid(); block = block.next()) {
        const Alignment alignment = alignmentOf(block.blockFormat().alignment());
        const ListPlace list = listPlaceOf(block);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            TextRun run = runOf(fragment.text(), fragment.charFormat(), alignment);
            run.list = list;
            if (fragment.charFormat().isImageFormat())
                readPicture(fragment.charFormat().toImageFormat(), std::move(run));
            else
                _runs.push_back(std::move(run));
        }
        if (block.next().isValid()) {
            TextRun lineFeed = _runs.empty() ? TextRun{} : _runs.back();
            lineFeed.text = QStringLiteral("\n");
            lineFeed.attachmentName.clear();
            lineFeed.attachmentWidth = lineFeed.attachmentHeight = 0;
            lineFeed.link.clear();
            lineFeed.alignment = alignment;
            lineFeed.list = list;
            _runs.push_back(std::move(lineFeed));
        }
    }
    RichText text = RichText::fromRuns(std::move(_runs));
    text.attachments = std::move(_attachments);
    return text;
}

ListPlace DocumentReader::listPlaceOf(const QTextBlock& block) {
    const QTextList* list = block.textList();
    if (!list) {
        _previousList = 0;
        return {};
    }
    ListPlace place;
    place.level = std::max(list->format().indent() - 1, 0);
    place.style = listStyleOf(list->format().style());
    // A list nested in the one before belongs to it, one level down; any other new list is a list
    // of its own.
    auto number = _listNumbers.find(list);
    if (number == _listNumbers.end()) {
        const bool nested = _previousList != 0 && place.level > _previousLevel;
        number = _listNumbers.emplace(list, nested ? _previousList : int(_listNumbers.size()) + 1).first;
    }
    place.list = number->second;
    _previousList = place.list;
    _previousLevel = place.level;
    return place;
}

void DocumentReader::readPicture(const QTextImageFormat& format, TextRun run) {
    const QString name = format.name();
    const QVariant original = _document.resource(QTextDocument::UserResource, originalFileUrl(name));
    const QImage image = shownImage(_document, name);
    QString fileName;
    if (const auto known = _pictureNames.find(name); known != _pictureNames.end()) {
        fileName = known->second;
    } else if (original.typeId() == QMetaType::QByteArray) {
        // An attachment the notes brought: written back as it came, under its own name.
        fileName = freeName(name);
        _attachments.emplace_back(fileName, original.toByteArray());
    } else if (!image.isNull()) {
        // A picture pasted in: kept as PNG, under the name of its file when it has a plain one.
        const QUrl url(name);
        const QString base = QFileInfo(url.path()).completeBaseName();
        const bool plainName = url.scheme().isEmpty() && !base.isEmpty() && base.size() <= 64;
        fileName = freeName((plainName ? base : kPastedPictureName) + QStringLiteral(".png"));
        _attachments.emplace_back(fileName, pngBytes(image));
    } else {
        return; // a picture the document cannot show has nothing to keep
    }
    _pictureNames.emplace(name, fileName);
    run.attachmentName = fileName;
    run.link.clear();
    if (format.hasProperty(kAttachmentWidthProperty)) {
        run.attachmentWidth = format.intProperty(kAttachmentWidthProperty);
        run.attachmentHeight = format.intProperty(kAttachmentHeightProperty);
    } else {
        const QSizeF size = format.width() > 0 && format.height() > 0
                                ? QSizeF(format.width(), format.height())
                                : QSizeF(image.size());
        run.attachmentWidth = qRound(size.width() * kTwipsPerPoint);
        run.attachmentHeight = qRound(size.height() * kTwipsPerPoint);
    }
    _runs.push_back(std::move(run));
}

QString DocumentReader::freeName(const QString& wanted) {
    QString name = wanted;
    const QFileInfo parts(wanted);
    const QString suffix = parts.suffix().isEmpty() ? QString() : u'.' + parts.suffix();
    for (int number = 1; _fileNames.count(name); ++number)
        name = parts.completeBaseName() + QStringLiteral(" %1").arg(number) + suffix;
    _fileNames.insert(name);
    return name;
}

} // namespace

std::unique_ptr<QTextDocument> toTextDocument(const RichText& text) {
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    DocumentBuilder(cursor, text).build();
    return document;
}

RichText fromTextDocument(const QTextDocument& document) {
    return DocumentReader(document).read();
}

QTextCharFormat readableColorFormat(const QColor& stored, const QColor& background) {
    QTextCharFormat format;
    const QColor shown = readableOn(stored, background);
    format.setForeground(shown);
    if (shown != stored) {
        format.setProperty(kStoredColorProperty, stored);
        format.setProperty(kShownColorProperty, shown);
    }
    return format;
}

void showReadableOn(QTextDocument& document, const QColor& background) {
    struct Recolouring {
        int start;
        int length;
        QColor stored;
    };
    std::vector<Recolouring> recolourings;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.foreground().style() == Qt::NoBrush)
                continue;
            const QColor stored = format.foreground().color();
            if (readableOn(stored, background) != stored)
                recolourings.push_back(
                    {fragment.fragment().position(), fragment.fragment().length(), stored});
        }
    // Not a step the user could undo.
    const bool undoable = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    for (const Recolouring& recolouring : recolourings) {
        QTextCursor cursor(&document);
        cursor.setPosition(recolouring.start);
        cursor.setPosition(recolouring.start + recolouring.length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(readableColorFormat(recolouring.stored, background));
    }
    document.setUndoRedoEnabled(undoable);
}

} // namespace tardigo
