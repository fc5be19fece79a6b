#include "rich_text/rtf_reader.h"

#include "model/core_log.h"
#include "rich_text/code_page.h"
#include "rich_text/rtf_lists.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <string_view>

namespace tardigo {

namespace {

constexpr int kMaxGroupDepth = 512;
constexpr int kDefaultHalfPoints = 24;
// RTF nests lists nine levels deep.
constexpr int kMaxListLevel = 8;
// Longer link targets and list markers are cut: no platform writes them so long.
constexpr qsizetype kMaxFieldInstruction = 64 * 1024;
constexpr qsizetype kMaxLinkTarget = kMaxFieldInstruction / 2; // so that it is written back whole
constexpr qsizetype kMaxLevelMarker = 64;

enum class Destination : quint8 {
    Text,
    Skip,
    FontTable,
    ColorTable,
    Attachment,
    ListTable,
    ListOverrideTable,
    LevelMarker,
    FieldInstruction,
};

enum class Word : quint8 {
    Ansi,
    AnsiCodePage,
    Mac,
    DefaultFont,
    FontTable,
    ColorTable,
    SkippedDestination,
    NeXTGraphic,
    Width,
    Height,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Plain,
    ParagraphDefaults,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustified,
    AlignNatural,
    ForegroundColor,
    Red,
    Green,
    Blue,
    Paragraph,
    Line,
    Tab,
    Unicode,
    UnicodeSkip,
    Binary,
    Character,
    ListTable,
    ListOverrideTable,
    List,
    ListLevel,
    LevelNumberFormat,
    LevelMarker,
    ListId,
    ListOverride,
    ListOverrideNumber,
    ListLevelNumber,
    Field,
    FieldInstruction,
    FieldResult,
};

struct WordEntry {
    std::string_view name;
    Word word;
    char16_t character = 0;
};

// Sorted by name (byte order) for the binary search; every other word is ignored.
constexpr std::array kWords = std::to_array<WordEntry>({
    {"NeXTGraphic", Word::NeXTGraphic},
    {"ansi", Word::Ansi},
    {"ansicpg", Word::AnsiCodePage},
    {"author", Word::SkippedDestination},
    {"b", Word::Bold},
    {"bin", Word::Binary},
    {"blue", Word::Blue},
    {"bullet", Word::Character, u'\u2022'},
    {"cell", Word::Tab},
    {"cf", Word::ForegroundColor},
    {"colortbl", Word::ColorTable},
    {"comment", Word::SkippedDestination},
    {"datastore", Word::SkippedDestination},
    {"deff", Word::DefaultFont},
    {"emdash", Word::Character, u'\u2014'},
    {"emspace", Word::Character, u'\u2003'},
    {"endash", Word::Character, u'\u2013'},
    {"enspace", Word::Character, u'\u2002'},
    {"f", Word::Font},
    {"field", Word::Field},
    {"filetbl", Word::SkippedDestination},
    {"fldinst", Word::FieldInstruction},
    {"fldrslt", Word::FieldResult},
    {"fonttbl", Word::FontTable},
    {"footer", Word::SkippedDestination},
    {"footerf", Word::SkippedDestination},
    {"footerl", Word::SkippedDestination},
    {"footerr", Word::SkippedDestination},
    {"footnote", Word::SkippedDestination},
    {"fs", Word::FontSize},
    {"generator", Word::SkippedDestination},
    {"green", Word::Green},
    {"header", Word::SkippedDestination},
    {"headerf", Word::SkippedDestination},
    {"headerl", Word::SkippedDestination},
    {"headerr", Word::SkippedDestination},
    {"height", Word::Height},
    {"i", Word::Italic},
    {"ilvl", Word::ListLevelNumber},
    {"info", Word::SkippedDestination},
    {"keywords", Word::SkippedDestination},
    {"latentstyles", Word::SkippedDestination},
    {"ldblquote", Word::Character, u'\u201C'},
    {"levelmarker", Word::LevelMarker},
    {"levelnfc", Word::LevelNumberFormat},
    {"levelnfcn", Word::LevelNumberFormat},
    {"line", Word::Line},
    {"list", Word::List},
    {"listid", Word::ListId},
    {"listlevel", Word::ListLevel},
    {"listoverride", Word::ListOverride},
    {"listoverridetable", Word::ListOverrideTable},
    {"listtable", Word::ListTable},
    {"listtext", Word::SkippedDestination},
    {"lquote", Word::Character, u'\u2018'},
    {"ls", Word::ListOverrideNumber},
    {"ltrmark", Word::Character, u'\u200E'},
    {"mac", Word::Mac},
    {"object", Word::SkippedDestination},
    {"page", Word::Paragraph},
    {"par", Word::Paragraph},
    {"pard", Word::ParagraphDefaults},
    {"pict", Word::SkippedDestination},
    {"plain", Word::Plain},
    {"qc", Word::AlignCenter},
    {"qj", Word::AlignJustified},
    {"ql", Word::AlignLeft},
    {"qmspace", Word::Character, u'\u2005'},
    {"qnatural", Word::AlignNatural},
    {"qr", Word::AlignRight},
    {"rdblquote", Word::Character, u'\u201D'},
    {"red", Word::Red},
    {"revtbl", Word::SkippedDestination},
    {"row", Word::Paragraph},
    {"rquote", Word::Character, u'\u2019'},
    {"rsidtbl", Word::SkippedDestination},
    {"rtlmark", Word::Character, u'\u200F'},
    {"sect", Word::Paragraph},
    {"strike", Word::Strike},
    {"striked", Word::Strike},
    {"stylesheet", Word::SkippedDestination},
    {"subject", Word::SkippedDestination},
    {"tab", Word::Tab},
    {"themedata", Word::SkippedDestination},
    {"title", Word::SkippedDestination},
    {"u", Word::Unicode},
    {"uc", Word::UnicodeSkip},
    {"ul", Word::Underline},
    {"uld", Word::Underline},
    {"uldash", Word::Underline},
    {"uldb", Word::Underline},
    {"ulnone", Word::UnderlineNone},
    {"ulth", Word::Underline},
    {"ulw", Word::Underline},
    {"ulwave", Word::Underline},
    {"width", Word::Width},
    {"xmlnstbl", Word::SkippedDestination},
    {"zwj", Word::Character, u'\u200D'},
    {"zwnj", Word::Character, u'\u200C'},
});

static_assert(std::is_sorted(kWords.begin(), kWords.end(),
                             [](const WordEntry& a, const WordEntry& b) { return a.name < b.name; }));

const WordEntry* findWord(std::string_view name) {
    const auto it = std::lower_bound(kWords.begin(), kWords.end(), name,
                                     [](const WordEntry& e, std::string_view n) { return e.name < n; });
    return it != kWords.end() && it->name == name ? &*it : nullptr;
}

// Bytes that are text as they stand: printable ASCII other than the three RTF specials.
constexpr std::array<bool, 256> kPlainByte = [] {
    std::array<bool, 256> table{};
    for (int c = 0x20; c < 0x7F; ++c)
        table[c] = c != '\\' && c != '{' && c != '}';
    return table;
}();

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

struct CharFormat {
    int font = -1;
    int link = 0; // index into the links read; 0: none
    int halfPoints = kDefaultHalfPoints;
    int color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool operator==(const CharFormat& other) const = default;
};

struct Group {
    CharFormat chars;
    Alignment alignment = Alignment::Natural;
    int listOverride = 0; // \lsN of the paragraph; 0: in no list
    int listLevel = 0;
    Destination destination = Destination::Text;
    int unicodeSkip = 1;
    // Set right after an attachment: the character that follows stands for it and is dropped.
    bool swallowCharacter = false;
};

class RtfReader {
public:
    RtfReader(const QByteArray& rtf, qsizetype characterLimit)
        : _p(rtf.constData()), _begin(rtf.constData()), _end(_p + rtf.size()), _limit(characterLimit) {}

    RtfReadResult read();

private:
    Group& top() { return _stack.back(); }
    qsizetype offset() const { return _p - _begin; }
    bool limitReached() const { return _limit >= 0 && _textLength >= _limit; }

    bool openGroup();
    // Answers false when the root group closed.
    bool closeGroup();
    void controlSymbol();
    void controlWord();
    void applyWord(const WordEntry& entry, bool hasParam, int param);
    void plainBytes();
    void byte(uchar b);
    void character(char16_t c);
    void textCharacter(char16_t c);
    void textUnit(char16_t c);
    void appendText(QStringView text);
    void flushHighSurrogate();
    void paragraph();
    void finishParagraph();
    TextRun& currentRun();
    TextRun runWithCurrentFormat() const;
    void emitAttachment();
    void commitFont();
    void commitColor();
    bool skipCharacter();
    bool inListTable() const;
    void applyListWord(Word word, int param);
    ListPlace listPlace(const Group& paragraph);
    void closeLevelMarker();
    int linkOfField();

    const char* _p;
    const char* const _begin;
    const char* const _end;
    const qsizetype _limit; // negative: no limit
    qsizetype _textLength = 0;
    std::vector<Group> _stack;
    CodePage _codePage = CodePage::Windows1252;
    int _defaultFont = -1;
    int _skipCount = 0; // fallback characters still to drop after \uN

    std::vector<TextRun> _runs;
    size_t _paragraphStart = 0;
    bool _breakRun = true;
    CharFormat _runFormat;
    Alignment _runAlignment = Alignment::Natural;
    char16_t _pendingHigh = 0;

    QHash<int, QString> _fonts;
    int _fontNumber = 0;
    QString _fontName;
    std::vector<std::optional<Rgba>> _colors;
    int _red = 0, _green = 0, _blue = 0;
    bool _colorSet = false;
    QByteArray _attachmentName;
    int _attachmentWidth = 0, _attachmentHeight = 0;

    // The list table: each list's levels, found by the list's id through the override of \lsN.
    struct ListLevelDefinition {
        ListStyle style = ListStyle::Disc;
        bool styleFromMarker = false; // the marker names the bullet, which the number format does not
    };
    std::vector<std::vector<ListLevelDefinition>> _listDefinitions;
    QHash<int, size_t> _listById;
    int _overrideListId = 0; // of the override being read
    int _overrideNumber = 0;
    QHash<int, int> _listOfOverride;                   // \lsN to list id
    QHash<int, int> _listNumbers;                      // \lsN to the list's number in the text, from 1
    QHash<std::pair<int, int>, ListStyle> _listStyles; // of each list's levels, by number and level
    QString _levelMarker;
    QString _fieldInstruction;
    std::vector<QString> _links{QString()}; // index 0: no link
};

RtfReadResult RtfReader::read() {
    RtfReadResult result;
    if (_end - _p < 5 || std::string_view(_p, 5) != "{\\rtf") {
        result.error =
            QCoreApplication::translate("RtfReader", "The text is not RTF: it does not start with {\\rtf.");
        return result;
    }
    while (_p < _end) {
        if (limitReached()) {
            result.cutShort = true;
            break;
        }
        const char c = *_p;
        if (c == '{') {
            if (!openGroup()) {
                result.error = QCoreApplication::translate(
                                   "RtfReader", "The text nests groups deeper than %1 levels at byte %2.")
                                   .arg(kMaxGroupDepth)
                                   .arg(offset());
                return result;
            }
        } else if (c == '}') {
            if (!closeGroup())
                break;
        } else if (c == '\\') {
            ++_p;
            if (_p < _end && isLetter(*_p))
                controlWord();
            else
                controlSymbol();
        } else if (kPlainByte[uchar(c)] && _skipCount == 0) {
            plainBytes();
        } else {
            ++_p;
            if (c == '\n' || c == '\r')
                continue;
            if ((c == '\t' || uchar(c) >= 0x20) && !skipCharacter())
                byte(uchar(c));
        }
    }
    if (!_stack.empty()) {
        // Cut short, the text stops before a pending high surrogate, as if its pair came later.
        if (!result.cutShort) {
            qCDebug(lcRichText) << "RTF ends inside" << _stack.size() << "open groups";
            flushHighSurrogate();
        }
        finishParagraph();
    }
    result.text = RichText::fromRuns(std::move(_runs));
    return result;
}

bool RtfReader::openGroup() {
    if (_stack.size() >= size_t(kMaxGroupDepth))
        return false;
    ++_p;
    _skipCount = 0;
    Group child = _stack.empty() ? Group{} : top();
    child.swallowCharacter = false;
    _stack.push_back(child);
    return true;
}

bool RtfReader::closeGroup() {
    ++_p;
    _skipCount = 0;
    if (_stack.size() == 1) {
        flushHighSurrogate();
        finishParagraph();
        _stack.pop_back();
        return false;
    }
    const Destination closed = top().destination;
    _stack.pop_back();
    if (closed == Destination::FontTable && !_fontName.isEmpty())
        commitFont();
    else if (closed == Destination::Attachment && top().destination != Destination::Attachment)
        emitAttachment();
    else if (closed == Destination::LevelMarker && top().destination != Destination::LevelMarker)
        closeLevelMarker();
    return true;
}

void RtfReader::controlSymbol() {
    if (_p >= _end)
        return;
    const char c = *_p++;
    if (c == '\'') {
        const int high = _p < _end ? hexValue(_p[0]) : -1;
        const int low = _p + 1 < _end ? hexValue(_p[1]) : -1;
        if (high < 0 || low < 0)
            return;
        _p += 2;
        if (!skipCharacter())
            byte(uchar(high * 16 + low));
        return;
    }
    if (skipCharacter())
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        byte(uchar(c));
        break;
    case '\n':
    case '\r':
        paragraph();
        break;
    case '~':
        character(u'\u00A0');
        break;
    case '_':
        character(u'\u2011');
        break;
    case '*':
        top().destination = Destination::Skip;
        break;
    default: // \- optional hyphen, \| and \: index marks, and anything unknown
        break;
    }
}

void RtfReader::controlWord() {
    const char* nameStart = _p;
    while (_p < _end && isLetter(*_p))
        ++_p;
    const std::string_view name(nameStart, size_t(_p - nameStart));
    bool negative = false;
    if (_p + 1 < _end && *_p == '-' && isDigit(_p[1])) {
        negative = true;
        ++_p;
    }
    bool hasParam = false;
    qint64 value = 0;
    while (_p < _end && isDigit(*_p)) {
        hasParam = true;
        value = std::min<qint64>(value * 10 + (*_p - '0'), qint64(1) << 32);
        ++_p;
    }
    if (_p < _end && *_p == ' ')
        ++_p;
    value = std::clamp<qint64>(negative ? -value : value, INT_MIN, INT_MAX);
    const WordEntry* entry = findWord(name);
    // \uN itself starts a new count of fallback characters; every other word is one of them.
    if (!(entry && entry->word == Word::Unicode) && skipCharacter())
        return;
    if (entry)
        applyWord(*entry, hasParam, int(value));
}

void RtfReader::applyWord(const WordEntry& entry, bool hasParam, int param) {
    Group& g = top();
    const bool on = !hasParam || param != 0;
    switch (entry.word) {
    case Word::Ansi:
        _codePage = CodePage::Windows1252;
        break;
    case Word::Mac:
        _codePage = CodePage::MacRoman;
        break;
    case Word::AnsiCodePage:
        if (param == 10000)
            _codePage = CodePage::MacRoman;
        else if (param == 1252)
            _codePage = CodePage::Windows1252;
        else
            qCInfo(lcRichText) << "RTF code page" << param << "is read as Windows-1252";
        break;
    case Word::DefaultFont:
        _defaultFont = param;
        if (g.chars.font < 0)
            g.chars.font = param;
        break;
    case Word::FontTable:
        g.destination = Destination::FontTable;
        _fontName.clear();
        break;
    case Word::ColorTable:
        g.destination = Destination::ColorTable;
        break;
    case Word::SkippedDestination:
        g.destination = Destination::Skip;
        break;
    case Word::NeXTGraphic:
        if (g.destination == Destination::Text) {
            g.destination = Destination::Attachment;
            _attachmentName.clear();
            _attachmentWidth = _attachmentHeight = 0;
        }
        break;
    case Word::Width:
        if (g.destination == Destination::Attachment)
            _attachmentWidth = param;
        break;
    case Word::Height:
        if (g.destination == Destination::Attachment)
            _attachmentHeight = param;
        break;
    case Word::Font:
        if (g.destination == Destination::FontTable) {
            if (!_fontName.isEmpty())
                commitFont();
            _fontNumber = param;
        } else {
            g.chars.font = param;
        }
        break;
    case Word::FontSize:
        if (param > 0)
            g.chars.halfPoints = std::min(param, 0xFFFF);
        break;
    case Word::Bold:
        g.chars.bold = on;
        break;
    case Word::Italic:
        g.chars.italic = on;
        break;
    case Word::Underline:
        g.chars.underline = on;
        break;
    case Word::UnderlineNone:
        g.chars.underline = false;
        break;
    case Word::Strike:
        g.chars.strike = on;
        break;
    case Word::Plain: {
        // Resets the characters' attributes; a link stays what its field made it.
        const int link = g.chars.link;
        g.chars = CharFormat{};
        g.chars.font = _defaultFont;
        g.chars.link = link;
        break;
    }
    case Word::ParagraphDefaults:
        g.alignment = Alignment::Natural;
        g.listOverride = 0;
        g.listLevel = 0;
        break;
    case Word::AlignLeft:
        g.alignment = Alignment::Left;
        break;
    case Word::AlignCenter:
        g.alignment = Alignment::Center;
        break;
    case Word::AlignRight:
        g.alignment = Alignment::Right;
        break;
    case Word::AlignJustified:
        g.alignment = Alignment::Justified;
        break;
    case Word::AlignNatural:
        g.alignment = Alignment::Natural;
        break;
    case Word::ForegroundColor:
        g.chars.color = param;
        break;
    case Word::Red:
    case Word::Green:
    case Word::Blue:
        if (g.destination == Destination::ColorTable) {
            int& component = entry.word == Word::Red ? _red : entry.word == Word::Green ? _green : _blue;
            component = std::clamp(param, 0, 255);
            _colorSet = true;
        }
        break;
    case Word::Paragraph:
        paragraph();
        break;
    case Word::Line:
        character(u'\u2028');
        break;
    case Word::Tab:
        character(u'\t');
        break;
    case Word::Character:
        character(entry.character);
        break;
    case Word::Unicode: {
        // Negative values are the upper half of UTF-16, written as signed 16-bit numbers.
        const int unit = param < 0 ? param + 0x10000 : param;
        if (unit < 0 || unit > 0xFFFF)
            qCDebug(lcRichText) << "RTF \\u value out of range:" << param;
        character(unit < 0 || unit > 0xFFFF ? u'\uFFFD' : char16_t(unit));
        _skipCount = g.unicodeSkip;
        break;
    }
    case Word::UnicodeSkip:
        g.unicodeSkip = std::max(param, 0);
        break;
    case Word::Binary:
        if (param > 0)
            _p += std::min<qsizetype>(param, _end - _p);
        break;
    case Word::ListTable:
        g.destination = Destination::ListTable;
        break;
    case Word::ListOverrideTable:
        g.destination = Destination::ListOverrideTable;
        break;
    case Word::LevelMarker:
        // Written as {\*\levelmarker \{disc\}} inside a level of the list table.
        if (inListTable()) {
            g.destination = Destination::LevelMarker;
            _levelMarker.clear();
        }
        break;
    case Word::List:
    case Word::ListLevel:
    case Word::LevelNumberFormat:
    case Word::ListId:
    case Word::ListOverride:
        applyListWord(entry.word, param);
        break;
    case Word::ListOverrideNumber:
        if (g.destination == Destination::ListOverrideTable)
            applyListWord(entry.word, param);
        else
            g.listOverride = std::max(param, 0);
        break;
    case Word::ListLevelNumber:
        g.listLevel = std::clamp(param, 0, kMaxListLevel);
        break;
    case Word::Field:
        _fieldInstruction.clear();
        break;
    case Word::FieldInstruction:
        g.destination = Destination::FieldInstruction;
        _fieldInstruction.clear();
        break;
    case Word::FieldResult:
        g.chars.link = linkOfField();
        break;
    }
}

bool RtfReader::inListTable() const {
    return _stack.size() >= 2 && _stack[_stack.size() - 2].destination == Destination::ListTable;
}

void RtfReader::applyListWord(Word word, int param) {
    const Destination destination = top().destination;
    if (destination == Destination::ListTable) {
        if (word == Word::List) {
            _listDefinitions.emplace_back();
        } else if (word == Word::ListLevel && !_listDefinitions.empty()) {
            _listDefinitions.back().emplace_back();
        } else if (word == Word::LevelNumberFormat && !_listDefinitions.empty() &&
                   !_listDefinitions.back().empty()) {
            ListLevelDefinition& level = _listDefinitions.back().back();
            if (!level.styleFromMarker)
                level.style = listStyleOfNumberFormat(param);
        } else if (word == Word::ListId && !_listDefinitions.empty()) {
            _listById.insert(param, _listDefinitions.size() - 1);
        }
        return;
    }
    if (destination != Destination::ListOverrideTable)
        return;
    if (word == Word::ListOverride) {
        _overrideListId = _overrideNumber = 0;
        return;
    }
    if (word == Word::ListId)
        _overrideListId = param;
    else if (word == Word::ListOverrideNumber)
        _overrideNumber = param;
    // The platform writes the list's id first, others the override's number first.
    if (_overrideListId != 0 && _overrideNumber != 0)
        _listOfOverride.insert(_overrideNumber, _overrideListId);
}

void RtfReader::closeLevelMarker() {
    const std::optional<ListStyle> style = listStyleOfMarker(_levelMarker);
    if (!style || _listDefinitions.empty() || _listDefinitions.back().empty())
        return;
    _listDefinitions.back().back() = {*style, true};
}

int RtfReader::linkOfField() {
    // HYPERLINK "target", or HYPERLINK target; the result of any other field links as its group does.
    const QString instruction = _fieldInstruction.trimmed();
    _fieldInstruction.clear();
    if (!instruction.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return top().chars.link;
    QStringView rest = QStringView(instruction).mid(9).trimmed();
    QString target;
    if (rest.startsWith(u'"')) {
        const qsizetype close = rest.indexOf(u'"', 1);
        target = rest.mid(1, close < 0 ? -1 : close - 1).toString();
    } else {
        const qsizetype space = rest.indexOf(u' ');
        target = rest.left(space).toString();
    }
    // A target holds no quotes or line breaks, so that it is written back as it was read.
    target.removeIf([](QChar c) { return c == u'"' || c.unicode() < 0x20; });
    target.truncate(kMaxLinkTarget);
    if (target.isEmpty())
        return 0;
    if (_links.back() != target)
        _links.push_back(target);
    return int(_links.size() - 1);
}

ListPlace RtfReader::listPlace(const Group& paragraph) {
    if (paragraph.listOverride <= 0)
        return {};
    ListPlace place;
    place.level = paragraph.listLevel;
    // Lists are numbered in the order they start in the text.
    auto number = _listNumbers.find(paragraph.listOverride);
    if (number == _listNumbers.end())
        number = _listNumbers.insert(paragraph.listOverride, int(_listNumbers.size()) + 1);
    place.list = *number;
    // A level keeps the style it had at its first item, whatever list tables come later.
    const auto style = _listStyles.find({place.list, place.level});
    if (style != _listStyles.end()) {
        place.style = *style;
        return place;
    }
    const auto listId = _listOfOverride.constFind(paragraph.listOverride);
    const auto definition =
        listId != _listOfOverride.constEnd() ? _listById.constFind(*listId) : _listById.constEnd();
    if (definition != _listById.constEnd()) {
        const std::vector<ListLevelDefinition>& levels = _listDefinitions[*definition];
        if (size_t(place.level) < levels.size())
            place.style = levels[size_t(place.level)].style;
    }
    _listStyles.insert({place.list, place.level}, place.style);
    return place;
}

bool RtfReader::skipCharacter() {
    if (_skipCount == 0)
        return false;
    --_skipCount;
    return true;
}

void RtfReader::plainBytes() {
    const char* start = _p;
    const char* end = _p; // a local, so that the scan keeps it in a register
    while (end < _end && kPlainByte[uchar(*end)])
        ++end;
    _p = end;
    switch (top().destination) {
    case Destination::Text: {
        flushHighSurrogate();
        Group& g = top();
        if (g.swallowCharacter) {
            g.swallowCharacter = false;
            ++start;
        }
        // Beyond the limit nothing is kept: the reading stops at the next character.
        const qsizetype length =
            _limit < 0 ? _p - start : std::min<qsizetype>(_p - start, _limit - _textLength);
        if (length > 0) {
            currentRun().text.append(QLatin1StringView(start, length));
            _textLength += length;
        }
        break;
    }
    case Destination::Skip:
    case Destination::ListTable:
    case Destination::ListOverrideTable:
        break;
    default:
        for (const char* q = start; q < _p; ++q)
            byte(uchar(*q));
        break;
    }
}

void RtfReader::byte(uchar b) {
    if (top().destination == Destination::Attachment) {
        _attachmentName += char(b);
        return;
    }
    character(decodeCodePageByte(_codePage, b));
}

void RtfReader::character(char16_t c) {
    switch (top().destination) {
    case Destination::Text:
        textCharacter(c);
        break;
    case Destination::FontTable:
        if (c == u';')
            commitFont();
        else if (c >= 0x20)
            _fontName += QChar(c);
        break;
    case Destination::ColorTable:
        if (c == u';')
            commitColor();
        break;
    case Destination::Attachment:
        _attachmentName += QString(QChar(c)).toUtf8();
        break;
    case Destination::LevelMarker:
        if (_levelMarker.size() < kMaxLevelMarker)
            _levelMarker += QChar(c);
        break;
    case Destination::FieldInstruction:
        if (_fieldInstruction.size() < kMaxFieldInstruction)
            _fieldInstruction += QChar(c);
        break;
    case Destination::Skip:
    case Destination::ListTable:
    case Destination::ListOverrideTable:
        break;
    }
}

void RtfReader::textCharacter(char16_t c) {
    Group& g = top();
    if (g.swallowCharacter) {
        g.swallowCharacter = false;
        return;
    }
    textUnit(c);
}

void RtfReader::textUnit(char16_t c) {
    if (_pendingHigh) {
        if (QChar::isLowSurrogate(c)) {
            const char16_t pair[2] = {_pendingHigh, c};
            _pendingHigh = 0;
            appendText(QStringView(pair, 2));
            return;
        }
        flushHighSurrogate();
    }
    if (QChar::isHighSurrogate(c)) {
        _pendingHigh = c;
        return;
    }
    if (QChar::isLowSurrogate(c))
        c = u'\uFFFD';
    appendText(QStringView(&c, 1));
}

void RtfReader::flushHighSurrogate() {
    if (!_pendingHigh)
        return;
    _pendingHigh = 0;
    const char16_t replacement = u'\uFFFD';
    appendText(QStringView(&replacement, 1));
}

void RtfReader::appendText(QStringView text) {
    currentRun().text.append(text);
    _textLength += text.size();
}

TextRun& RtfReader::currentRun() {
    const Group& g = top();
    if (_breakRun || _runFormat != g.chars || _runAlignment != g.alignment) {
        _runs.push_back(runWithCurrentFormat());
        _runFormat = g.chars;
        _runAlignment = g.alignment;
        _breakRun = false;
    }
    return _runs.back();
}

TextRun RtfReader::runWithCurrentFormat() const {
    const Group& g = _stack.back();
    TextRun run;
    run.fontFamily = _fonts.value(g.chars.font, kDefaultFontFamily);
    run.fontSize = g.chars.halfPoints / 2.0;
    run.bold = g.chars.bold;
    run.italic = g.chars.italic;
    run.underline = g.chars.underline;
    run.strike = g.chars.strike;
    if (g.chars.color >= 0 && size_t(g.chars.color) < _colors.size())
        run.color = _colors[size_t(g.chars.color)];
    run.alignment = g.alignment;
    run.link = _links[size_t(g.chars.link)];
    return run;
}

void RtfReader::paragraph() {
    if (top().destination != Destination::Text)
        return;
    textUnit(u'\n');
    finishParagraph();
}

void RtfReader::finishParagraph() {
    // A paragraph takes the alignment and the list in force where it ends.
    if (_paragraphStart < _runs.size()) {
        const Alignment alignment = top().alignment;
        const ListPlace list = listPlace(top());
        for (size_t i = _paragraphStart; i < _runs.size(); ++i) {
            _runs[i].alignment = alignment;
            _runs[i].list = list;
        }
    }
    _paragraphStart = _runs.size();
    _breakRun = true;
}

void RtfReader::emitAttachment() {
    if (top().destination != Destination::Text)
        return;
    flushHighSurrogate();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8.decode(_attachmentName);
    if (utf8.hasError()) {
        name.clear();
        for (char b : std::as_const(_attachmentName))
            name += QChar(decodeCodePageByte(_codePage, uchar(b)));
    }
    top().swallowCharacter = true;
    // An attachment that names no file can show nothing; keeping its size would make a run that
    // no written form carries.
    if (name.trimmed().isEmpty())
        return;
    TextRun run = runWithCurrentFormat();
    run.text = QString(QChar(kAttachmentCharacter));
    run.attachmentName = name.trimmed();
    run.attachmentWidth = _attachmentWidth;
    run.attachmentHeight = _attachmentHeight;
    _runs.push_back(std::move(run));
    _breakRun = true;
}

void RtfReader::commitFont() {
    const QString name = _fontName.trimmed();
    if (!name.isEmpty())
        _fonts.insert(_fontNumber, name);
    _fontName.clear();
}

void RtfReader::commitColor() {
    if (_colorSet)
        _colors.push_back(Rgba{_red / 255.0f, _green / 255.0f, _blue / 255.0f, 1.0f});
    else
        _colors.push_back(std::nullopt);
    _red = _green = _blue = 0;
    _colorSet = false;
}

} // namespace

RtfReadResult readRtf(const QByteArray& rtf, qsizetype characterLimit) {
    return RtfReader(rtf, characterLimit).read();
}

} // namespace tardigo
