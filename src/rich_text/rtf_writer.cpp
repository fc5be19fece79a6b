#include "rich_text/rtf_writer.h"

#include "rich_text/code_page.h"
#include "rich_text/rtf_lists.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>

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

// Twips a list's items stand in by at each level, as the platform indents them.
constexpr int kListIndentTwips = 720;

class RtfWriter {
public:
    explicit RtfWriter(const std::vector<TextRun>& runs) : _runs(runs) {}
    QByteArray write();

private:
    void collectTables();
    void writeHeader();
    void writeListTables();
    void writeBody();
    // Writes the paragraph that starts at the run and offset given; moves them past its end.
    void writeParagraph(size_t& run, qsizetype& offset);
    int fontIndex(const TextRun& run) const;
    int colorIndex(const TextRun& run) const;
    void writeFormat(const TextRun& run);
    void writeFlag(bool value, bool& written, const char* on, const char* off);
    void writeParagraphStart(const TextRun& run);
    void writeListMarker(const ListPlace& place);
    void openLink(const QString& target);
    void closeLink();
    void writeAttachment(const TextRun& run);
    void writeCharacter(char16_t c);
    void writeNumberWord(const char* word, int value);

    const std::vector<TextRun>& _runs;
    QByteArray _out;
    QStringList _fonts;
    std::vector<Rgb8> _colors; // table entries from 1 on; entry 0 is the default colour
    std::vector<int> _lists;   // the runs' list numbers, in the order the lists start
    std::vector<std::vector<std::optional<ListStyle>>> _listLevels; // of each list, each level's style
    ListNumbering _numbering;
    WrittenFormat _written;
    WrittenFormat _beforeLink; // restored when the link's group closes
    QString _link;             // the link whose group is open
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
    writeListTables();
}

void RtfWriter::writeListTables() {
    if (_lists.empty())
        return;
    // Each list gets its own definition and override, numbered from 1 as the platform numbers them.
    _out += "{\\*\\listtable";
    for (size_t i = 0; i < _listLevels.size(); ++i) {
        const int number = int(i) + 1;
        writeNumberWord("{\\list\\listtemplateid", number);
        _out += "\\listhybrid";
        for (size_t level = 0; level < _listLevels[i].size(); ++level) {
            const ListStyle style = _listLevels[i][level].value_or(ListStyle::Disc);
            const int format = rtfNumberFormat(style);
            writeNumberWord("{\\listlevel\\levelnfc", format);
            writeNumberWord("\\levelnfcn", format);
            _out += "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1\\levelspace360\\levelindent0";
            _out += "{\\*\\levelmarker \\{" + rtfMarkerName(style).toLatin1() + "\\}";
            _out += isNumbered(style) ? ".}" : "}";
            writeNumberWord("{\\leveltext\\leveltemplateid", number * 100 + int(level) + 1);
            if (isNumbered(style)) {
                _out += "\\'02\\'";
                _out += QByteArray::number(int(level), 16).rightJustified(2, '0');
                _out += ".;}{\\levelnumbers\\'01;}";
            } else {
                _out += "\\'01";
                const QString marker = listMarkerText(style, 1);
                for (QChar c : marker)
                    writeCharacter(c.unicode());
                _out += ";}{\\levelnumbers;}";
            }
            const int indent = kListIndentTwips * (int(level) + 1);
            writeNumberWord("\\fi", -kListIndentTwips / 2);
            writeNumberWord("\\li", indent);
            writeNumberWord("\\lin", indent);
            _out += " }";
        }
        _out += "{\\listname ;}";
        writeNumberWord("\\listid", number);
        _out += '}';
    }
    _out += "}\n{\\*\\listoverridetable";
    for (size_t i = 0; i < _listLevels.size(); ++i) {
        writeNumberWord("{\\listoverride\\listid", int(i) + 1);
        writeNumberWord("\\listoverridecount0\\ls", int(i) + 1);
        _out += '}';
    }
    _out += "}\n";
}

void RtfWriter::writeBody() {
    size_t run = 0;
    qsizetype offset = 0;
    bool first = true;
    const TextRun* paragraph = nullptr; // the run whose paragraph attributes were written last
    while (run < _runs.size()) {
        if (_runs[run].text.isEmpty()) {
            ++run;
            continue;
        }
        const TextRun& head = _runs[run];
        if (first || !head.sameParagraph(*paragraph)) {
            writeParagraphStart(head);
            if (first)
                _out += '\n';
            first = false;
            paragraph = &head;
        }
        if (head.list.inList())
            writeListMarker(head.list);
        writeParagraph(run, offset);
    }
    if (first) {
        TextRun empty;
        writeParagraphStart(empty);
    }
}

void RtfWriter::writeParagraph(size_t& run, qsizetype& offset) {
    for (; run < _runs.size(); ++run, offset = 0) {
        const TextRun& current = _runs[run];
        if (offset >= current.text.size())
            continue;
        if (current.link != _link) {
            closeLink();
            openLink(current.link);
        }
        writeFormat(current);
        for (; offset < current.text.size(); ++offset) {
            const char16_t c = current.text[offset].unicode();
            if (c == kAttachmentCharacter && current.isAttachment())
                writeAttachment(current);
            else
                writeCharacter(c);
            if (c == u'\n') {
                // The paragraph's end stays inside its link, so that the break keeps the link too.
                closeLink();
                if (++offset == current.text.size()) {
                    ++run;
                    offset = 0;
                }
                return;
            }
        }
    }
    closeLink();
}

void RtfWriter::collectTables() {
    _colors.push_back({255, 255, 255});
    for (const TextRun& run : _runs) {
        const QString& family = run.fontFamily.isEmpty() ? kDefaultFontFamily : run.fontFamily;
        if (!_fonts.contains(family))
            _fonts.append(family);
        if (run.color && std::find(_colors.begin(), _colors.end(), toRgb8(*run.color)) == _colors.end())
            _colors.push_back(toRgb8(*run.color));
        if (!run.list.inList() || run.text.isEmpty())
            continue;
        auto list = std::find(_lists.begin(), _lists.end(), run.list.list);
        if (list == _lists.end()) {
            _lists.push_back(run.list.list);
            _listLevels.emplace_back();
            list = _lists.end() - 1;
        }
        // A level takes the style of its first item; the levels above an item's are all written.
        std::vector<std::optional<ListStyle>>& levels = _listLevels[size_t(list - _lists.begin())];
        const size_t level = size_t(std::max(run.list.level, 0));
        if (levels.size() <= level)
            levels.resize(level + 1);
        if (!levels[level])
            levels[level] = run.list.style;
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

void RtfWriter::writeParagraphStart(const TextRun& run) {
    if (run.list.inList()) {
        // Tab stops for the marker and the text, and the text's indent, as the platform writes them.
        const int indent = kListIndentTwips * (std::max(run.list.level, 0) + 1);
        writeNumberWord("\\pard\\tx", indent - 500);
        writeNumberWord("\\tx", indent);
        writeNumberWord("\\li", indent);
        writeNumberWord("\\fi", -indent);
    } else {
        _out += kParagraphStart;
    }
    _out += alignmentWords(run.alignment);
    _out += "\\pardirnatural\n";
    if (run.list.inList()) {
        const auto list = std::find(_lists.begin(), _lists.end(), run.list.list);
        writeNumberWord("\\ls", int(list - _lists.begin()) + 1);
        writeNumberWord("\\ilvl", std::max(run.list.level, 0));
    }
}

void RtfWriter::writeListMarker(const ListPlace& place) {
    // The marker as the platform writes it, for readers that know no lists.
    _out += "{\\listtext\t";
    const QString marker = _numbering.nextMarker(place);
    for (QChar c : marker)
        writeCharacter(c.unicode());
    _out += "\t}";
}

void RtfWriter::openLink(const QString& target) {
    _link = target;
    if (target.isEmpty())
        return;
    _beforeLink = _written;
    _out += "{\\field{\\*\\fldinst{HYPERLINK \"";
    // A quote would end the target early; in an address it stands for itself percent-encoded.
    for (QChar c : target) {
        if (c == u'"')
            _out += "%22";
        else
            writeCharacter(c.unicode());
    }
    _out += "\"}}{\\fldrslt ";
}

void RtfWriter::closeLink() {
    if (_link.isEmpty())
        return;
    _out += "}}";
    _written = _beforeLink;
    _link.clear();
}

void RtfWriter::writeAttachment(const TextRun& run) {
    _out += "{{\\NeXTGraphic ";
    const QByteArray name = run.attachmentName.toUtf8();
    for (char b : name) {
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
