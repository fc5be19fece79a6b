#include "caldav/error_page.h"

#include "caldav/dav_status.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace tardigo {

namespace {

// An error page says what it means near its start: the rest is not read.
constexpr qsizetype kPageBytesRead = 64 * 1024;

enum class Markup { None, Html, Xml };

Markup markupOf(QByteArrayView contentType, QByteArrayView body) {
    const QByteArray type = contentType.toByteArray().toLower();
    const QByteArray start =
        body.first(std::min<qsizetype>(body.size(), 256)).toByteArray().trimmed().toLower();
    if (type.contains("html") || start.startsWith("<!doctype html") || start.startsWith("<html"))
        return Markup::Html;
    if (type.contains("xml") || start.startsWith("<?xml"))
        return Markup::Xml;
    return Markup::None;
}

/// Tags that stand inside a line of text; any other tag ends a block.
bool isInline(QStringView tag) {
    static const QStringList inlineTags{
        QStringLiteral("a"),     QStringLiteral("abbr"), QStringLiteral("b"),      QStringLiteral("big"),
        QStringLiteral("cite"),  QStringLiteral("code"), QStringLiteral("em"),     QStringLiteral("font"),
        QStringLiteral("i"),     QStringLiteral("kbd"),  QStringLiteral("q"),      QStringLiteral("samp"),
        QStringLiteral("small"), QStringLiteral("span"), QStringLiteral("strong"), QStringLiteral("sub"),
        QStringLiteral("sup"),   QStringLiteral("tt"),   QStringLiteral("u"),      QStringLiteral("var")};
    return inlineTags.contains(tag.toString());
}

/// The text with HTML's character references replaced by the characters they stand for; a
/// reference it does not know stays as written.
QString decodeReferences(const QString& text) {
    static const QRegularExpression reference(
        QStringLiteral("&(#[0-9]{1,7}|#[xX][0-9a-fA-F]{1,6}|[a-zA-Z]+);"));
    static const QHash<QString, char32_t> named{
        {QStringLiteral("amp"), u'&'},  {QStringLiteral("lt"), u'<'},    {QStringLiteral("gt"), u'>'},
        {QStringLiteral("quot"), u'"'}, {QStringLiteral("apos"), u'\''}, {QStringLiteral("nbsp"), u' '}};
    QString decoded;
    qsizetype from = 0;
    for (auto it = reference.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString name = match.captured(1);
        const char32_t code = name.startsWith(u"#x", Qt::CaseInsensitive)
                                  ? QStringView(name).mid(2).toUInt(nullptr, 16)
                              : name.startsWith(u'#') ? QStringView(name).mid(1).toUInt()
                                                      : named.value(name);
        decoded += QStringView(text).mid(from, match.capturedStart() - from);
        const bool character = code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        decoded += character ? QString::fromUcs4(&code, 1) : match.captured();
        from = match.capturedEnd();
    }
    return decoded + text.mid(from);
}

/// The page's blocks of text, in order: what stands between tags that are not inline, comments,
/// scripts and styles left out.
QStringList htmlBlocks(const QString& page) {
    QStringList blocks;
    QString block;
    const auto endBlock = [&] {
        if (QString text = decodeReferences(block).simplified(); !text.isEmpty())
            blocks << text;
        block.clear();
    };
    for (qsizetype at = 0; at < page.size();) {
        if (page[at] != u'<') {
            const qsizetype tag = page.indexOf(u'<', at);
            block += QStringView(page).mid(at, tag < 0 ? -1 : tag - at);
            at = tag < 0 ? page.size() : tag;
            continue;
        }
        if (QStringView(page).mid(at).startsWith(u"<!--")) {
            const qsizetype end = page.indexOf(QLatin1String("-->"), at);
            at = end < 0 ? page.size() : end + 3;
            continue;
        }
        const qsizetype close = page.indexOf(u'>', at);
        const qsizetype end = close < 0 ? page.size() : close + 1;
        static const QRegularExpression nameOf(QStringLiteral("^<(/?)([a-zA-Z][a-zA-Z0-9]*)"));
        const QRegularExpressionMatch tag = nameOf.match(QStringView(page).mid(at, end - at));
        const QString name = tag.captured(2).toLower();
        at = end;
        if (tag.captured(1).isEmpty() &&
            (name == QLatin1String("script") || name == QLatin1String("style"))) {
            const qsizetype closing = page.indexOf(QStringLiteral("</") + name, at, Qt::CaseInsensitive);
            at = closing < 0 ? page.size() : closing;
        }
        if (!isInline(name))
            endBlock();
    }
    endBlock();
    return blocks;
}

/// Whether a block only repeats the status line, as a page's title and heading do: it starts with
/// the status code ("401 Unauthorized") or is the reason phrase.
bool repeatsStatus(const QString& block, int status, const QString& reason) {
    static const QRegularExpression statusLine(QStringLiteral("^(\\d{3})\\b"));
    const QRegularExpressionMatch code = statusLine.match(block);
    return block.isEmpty() || (code.hasMatch() && code.captured(1).toInt() == status) ||
           block.compare(reason, Qt::CaseInsensitive) == 0;
}

QString htmlText(QByteArrayView page, int status, const QString& reason) {
    for (const QString& block : htmlBlocks(QString::fromUtf8(page)))
        if (!repeatsStatus(block, status, reason))
            return block;
    return {};
}

/// The text of an XML body, its elements' texts joined; markup stripped as HTML's where it does not
/// read as XML.
QString xmlText(QByteArrayView body, int status, const QString& reason) {
    QXmlStreamReader reader(body.toByteArray());
    QStringList texts;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::Characters && !reader.isWhitespace())
            texts << reader.text().toString().simplified();
    if (reader.hasError())
        return htmlText(body, status, reason);
    const QString text = texts.join(u' ');
    return repeatsStatus(text, status, reason) ? QString() : text;
}

} // namespace

QString errorPageText(QByteArrayView contentType, QByteArrayView body, int status, const QString& reason) {
    body = body.first(std::min(body.size(), kPageBytesRead));
    switch (markupOf(contentType, body)) {
    case Markup::Html:
        return serverExcerpt(htmlText(body, status, reason).toUtf8());
    case Markup::Xml:
        return serverExcerpt(xmlText(body, status, reason).toUtf8());
    case Markup::None:
        break;
    }
    return serverExcerpt(body);
}

} // namespace tardigo
