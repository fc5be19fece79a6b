#include "rich_text/rtf_writer.h"

#include "rich_text/code_page.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace tardigo {

namespace {

constexpr int kDefaultHalfPoints = 24;

// The default paragraph style: left tabs every 28 points.
constexpr char kParagraphStart[] =
    "\\pard\\tx560\\tx1120\\tx1680\\tx2240\\tx2800\\tx3360\\tx3920\\tx4480\\tx5040\\tx5600\\tx6160\\tx6720";

using Rgb8 = std::array<int, 3>;

Rgb8 toRgb8(const Rgba& c) {
    const auto channel = [](float v) { return qRound(std::clamp(v, 0.0f, 1.0f) * 255.0f); };
    return {channel(c.r), channel(c.g), channel(c.b)};
}

const char* alignmentWords(Alignment alignment) {
    switch (alignment) {
    case Alignment::Left:
        return "\\ql";
    case Alignment::Center:
        return "\\qc";
    case Alignment::Right:
        return "\\qr";
    case Alignment::Justified:
        return "\\qj";
    case Alignment::Natural:
        break;
    }
    return "\\ql\\qnatural";
}

const char* familyClass(const QString& family) {
    const QString f = family.toLower();
    if (f.contains(u"mono") || f.contains(u"courier") || f.contains(u"menlo") || f.contains(u"monaco"))
        return "\\fmodern";
    if (f.contains(u"sans") || f.contains(u"helvetica") || f.contains(u"arial") || f.contains(u"verdana") ||
        f.contains(u"lucida"))
        return "\\fswiss";
    if (f.contains(u"times") || f.contains(u"serif") || f.contains(u"georgia") || f.contains(u"palatino"))
        return "\\froman";
    return "\\fnil";
}

// The attributes last written, so that each run writes only what changes.
struct WrittenFormat {
    bool any = false;
    int font = 0;
    int halfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int color = 0;
};

class RtfWriter {
public:
    explicit RtfWriter(const std::vector<TextRun>& runs) : _runs(runs) {}
    QByteArray write();

private:
    void collectTables();
    void writeHeader();
    void writeBody();
    int fontIndex(const TextRun& run) const;
    int colorIndex(const TextRun& run) const;
    void writeFormat(const TextRun& run);
    void writeFlag(bool value, bool& written, const char* on, const char* off);
    void writeParagraphStart(Alignment alignment);
    void writeAttachment(const TextRun& run);
    void writeCharacter(char16_t c);
    void writeNumberWord(const char* word, int value);

    const std::vector<TextRun>& _runs;
    QByteArray _out;
    QStringList _fonts;
    std::vector<Rgb8> _colors; // table entries from 1 on; entry 0 is the default colour
    WrittenFormat _written;
};

QByteArray RtfWriter::write() {
    collectTables();
    writeHeader();
    writeBody();
    _out += '}';
    return _out;
}

void RtfWriter::writeHeader() {
    _out += "{\\rtf1\\ansi\\ansicpg1252\\cocoartf949\\cocoasubrtf540\n{\\fonttbl";
    for (int i = 0; i < _fonts.size(); ++i) {
        writeNumberWord("\\f", i);
        _out += familyClass(_fonts[i]);
        _out += "\\fcharset0 ";
        // A semicolon would end the name early; nothing can escape it.
        for (QChar c : std::as_const(_fonts[i])) {
            if (c != u';')
                writeCharacter(c.unicode());
        }
        _out += ';';
    }
    _out += "}\n{\\colortbl;";
    for (const Rgb8& c : _colors) {
        writeNumberWord("\\red", c[0]);
        writeNumberWord("\\green", c[1]);
        writeNumberWord("\\blue", c[2]);
        _out += ';';
    }
    _out += "}\n";
}

void RtfWriter::writeBody() {
    bool paragraphStart = true;
    bool first = true;
    Alignment alignment = Alignment::Natural;
    for (const TextRun& run : _runs) {
        bool formatWritten = false;
        for (QChar qc : run.text) {
            const char16_t c = qc.unicode();
            if (paragraphStart && (first || run.alignment != alignment)) {
                writeParagraphStart(run.alignment);
                if (first)
                    _out += '\n';
                alignment = run.alignment;
                first = false;
            }
            paragraphStart = c == u'\n';
            if (!formatWritten) {
                writeFormat(run);
                formatWritten = true;
            }
            if (c == kAttachmentCharacter && run.isAttachment())
                writeAttachment(run);
            else
                writeCharacter(c);
        }
    }
    if (first)
        writeParagraphStart(Alignment::Natural);
}

void RtfWriter::collectTables() {
    _colors.push_back({255, 255, 255});
    for (const TextRun& run : _runs) {
        const QString& family = run.fontFamily.isEmpty() ? kDefaultFontFamily : run.fontFamily;
        if (!_fonts.contains(family))
            _fonts.append(family);
        if (run.color && std::find(_colors.begin(), _colors.end(), toRgb8(*run.color)) == _colors.end())
            _colors.push_back(toRgb8(*run.color));
    }
    if (_fonts.isEmpty())
        _fonts.append(kDefaultFontFamily);
}

int RtfWriter::fontIndex(const TextRun& run) const {
    return int(_fonts.indexOf(run.fontFamily.isEmpty() ? kDefaultFontFamily : run.fontFamily));
}

int RtfWriter::colorIndex(const TextRun& run) const {
    if (!run.color)
        return 0;
    return int(std::find(_colors.begin(), _colors.end(), toRgb8(*run.color)) - _colors.begin()) + 1;
}

void RtfWriter::writeFormat(const TextRun& run) {
    const int font = fontIndex(run);
    const int halfPoints = run.fontSize > 0 ? qRound(run.fontSize * 2) : kDefaultHalfPoints;
    if (!_written.any || font != _written.font || halfPoints != _written.halfPoints) {
        writeNumberWord("\\f", font);
        writeNumberWord("\\fs", halfPoints);
        _out += ' ';
        _written.font = font;
        _written.halfPoints = halfPoints;
    }
    writeFlag(run.bold, _written.bold, "\\b ", "\\b0 ");
    writeFlag(run.italic, _written.italic, "\\i ", "\\i0 ");
    writeFlag(run.underline, _written.underline, "\\ul ", "\\ulnone ");
    writeFlag(run.strike, _written.strike, "\\strike ", "\\strike0 ");
    const int color = colorIndex(run);
    if (!_written.any || color != _written.color) {
        writeNumberWord("\\cf", color);
        _out += ' ';
        _written.color = color;
    }
    _written.any = true;
}

void RtfWriter::writeFlag(bool value, bool& written, const char* on, const char* off) {
    if (value != written)
        _out += value ? on : off;
    written = value;
}

void RtfWriter::writeParagraphStart(Alignment alignment) {
    _out += kParagraphStart;
    _out += alignmentWords(alignment);
    _out += "\\pardirnatural\n";
}

void RtfWriter::writeAttachment(const TextRun& run) {
    _out += "{{\\NeXTGraphic ";
    for (char b : run.attachmentName.toUtf8()) {
        if (b == '\\' || b == '{' || b == '}')
            _out += '\\';
        if (uchar(b) >= 0x80 || uchar(b) < 0x20) {
            _out += "\\'";
            _out += QByteArray::number(uchar(b), 16).rightJustified(2, '0');
        } else {
            _out += b;
        }
    }
    _out += ' ';
    writeNumberWord("\\width", run.attachmentWidth);
    _out += ' ';
    writeNumberWord("\\height", run.attachmentHeight);
    // 0xAC stands for the attachment character, as the platform writes it.
    _out += "}\xAC}";
}

void RtfWriter::writeCharacter(char16_t c) {
    switch (c) {
    case u'\\':
    case u'{':
    case u'}':
        _out += '\\';
        _out += char(c);
        return;
    case u'\n':
        _out += "\\\n";
        return;
    case u'\t':
        _out += '\t';
        return;
    default:
        break;
    }
    if (c >= 0x20 && c < 0x7F) {
        _out += char(c);
        return;
    }
    if (const uchar b = c >= 0x80 ? windows1252Byte(c) : 0) {
        _out += "\\'";
        _out += QByteArray::number(b, 16).rightJustified(2, '0');
        return;
    }
    writeNumberWord("\\uc0\\u", c);
    _out += ' ';
}

void RtfWriter::writeNumberWord(const char* word, int value) {
    _out += word;
    _out += QByteArray::number(value);
}

} // namespace

QByteArray writeRtf(const std::vector<TextRun>& runs) {
    return RtfWriter(runs).write();
}

} // namespace tardigo
