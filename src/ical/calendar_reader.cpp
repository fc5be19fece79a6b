#include "ical/calendar_reader.h"

#include "ical/ical_properties.h"
#include "platform/file_name_encoding.h"

#include <algorithm>

namespace tardigo {

namespace {

constexpr int kMaxNesting = 16; // a calendar holds to-dos that hold alarms: three levels in use
constexpr qsizetype kQuotedLength = 60;
constexpr qsizetype kQuotedErrorLength = 160; // libical's words about a line, which may quote it

struct Begin {
    QByteArray name;
    qsizetype line = 0;
};

/// The start of a text from the file, so that no message holds much of what a file says.
QString excerpt(QByteArrayView text, qsizetype length = kQuotedLength) {
    const qsizetype taken = std::min(text.size(), length);
    return QString::fromUtf8(text.first(taken)) + (taken < text.size() ? QStringLiteral("…") : QString());
}

bool isUtf8(QByteArrayView line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x80; }) || isUtf8Text(line);
}

/// A property line without a value ("DESCRIPTION:"). iCalendar allows empty texts, but libical
/// refuses them; passing such a line over leaves the property absent, which reads the same.
bool hasEmptyValue(const QByteArray& line) {
    // The value starts after the first colon outside a quoted parameter value.
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i == line.size() - 1;
    }
    return false;
}

bool startsWithKeyword(const QByteArray& line, const char* keyword) {
    return line.size() >= qsizetype(qstrlen(keyword)) &&
           qstrnicmp(line.constData(), keyword, qstrlen(keyword)) == 0;
}

/// Feeds unfolded lines to libical and keeps the first problem.
class LineFeeder {
public:
    LineFeeder(const QString& fileName, CalendarRead& read) : _fileName(fileName), _read(read) {}
    ~LineFeeder() { icalparser_free(_parser); }
    LineFeeder(const LineFeeder&) = delete;
    LineFeeder& operator=(const LineFeeder&) = delete;

    /// Feeds one content line; false once the text is refused.
    bool feed(QByteArray line, qsizetype number) {
        if (line.contains('\0'))
            return fail(
                QStringLiteral("%1, line %2: the line holds a NUL byte, which iCalendar text never does.")
                    .arg(_fileName)
                    .arg(number));
        if (!isUtf8(line))
            return fail(
                QStringLiteral("%1, line %2: the text is not UTF-8, which iCalendar text always is; the "
                               "file may be in Latin-1 or another older encoding. Convert it to UTF-8 "
                               "(for example with “iconv -f latin1 -t utf-8”) and try again.")
                    .arg(_fileName)
                    .arg(number));
        if (startsWithKeyword(line, "BEGIN:")) {
            _open.push_back({line.mid(6).trimmed().toUpper(), number});
            _begins.push_back(_open.back());
            if (_open.size() > kMaxNesting)
                return fail(QStringLiteral("%1, line %2: components nest more than %3 deep.")
                                .arg(_fileName)
                                .arg(number)
                                .arg(kMaxNesting));
        } else if (startsWithKeyword(line, "END:") && !_open.empty()) {
            _open.pop_back();
        } else if (hasEmptyValue(line)) {
            return true;
        }
        icalcomponent* done = icalparser_add_line(_parser, line.data());
        if (icalparser_get_state(_parser) == ICALPARSER_ERROR) {
            if (done)
                icalcomponent_free(done);
            return fail(
                QStringLiteral("%1, line %2: libical cannot read “%3”. Correct or remove that line and try "
                               "again.")
                    .arg(_fileName)
                    .arg(number)
                    .arg(excerpt(line)));
        }
        if (done)
            return finish(IcalComponentPtr(done));
        return true;
    }

    /// Ends the text; false when it ends inside a component.
    bool end() {
        // What the text left open stays the parser's: icalparser_free() frees it.
        if (icalparser_clean(_parser) || !_open.empty()) {
            const Begin& outer = _open.empty() ? Begin{"a component", 0} : _open.front();
            return fail(QStringLiteral("%1: the text ends inside the %2 that begins at line %3; the file is "
                                       "incomplete.")
                            .arg(_fileName, excerpt(outer.name))
                            .arg(outer.line));
        }
        return true;
    }

private:
    bool fail(const QString& error) {
        _read.error = error;
        _read.components.clear();
        return false;
    }

    /// Takes a finished top-level component, refusing it when libical marked an error in it.
    bool finish(IcalComponentPtr component) {
        std::vector<Begin> begins;
        begins.swap(_begins);
        if (icalcomponent_count_errors(component.get()) == 0) {
            _read.components.push_back(std::move(component));
            return true;
        }
        // Components come in the order of their BEGIN lines; walk them in that order to place the error.
        std::vector<icalcomponent*> pending{component.get()};
        for (size_t index = 0; !pending.empty(); ++index) {
            icalcomponent* c = pending.back();
            pending.pop_back();
            if (icalproperty* error = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY)) {
                const QString kind = icalString(icalcomponent_kind_to_string(icalcomponent_isa(c)));
                const bool placed = index < begins.size() && QString::fromUtf8(begins[index].name) == kind;
                const QString where =
                    placed ? QStringLiteral("the %1 that begins at line %2").arg(kind).arg(begins[index].line)
                           : QStringLiteral("a %1").arg(kind);
                return fail(QStringLiteral("%1: %2 is damaged: %3")
                                .arg(_fileName, where,
                                     excerpt(icalproperty_get_xlicerror(error), kQuotedErrorLength)));
            }
            std::vector<icalcomponent*> children;
            for (icalcomponent* child = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); child;
                 child = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
                children.push_back(child);
            pending.insert(pending.end(), children.rbegin(), children.rend());
        }
        return fail(QStringLiteral("%1: libical found an error it does not place.").arg(_fileName));
    }

    QString _fileName;
    CalendarRead& _read;
    icalparser* _parser = icalparser_new();
    std::vector<Begin> _open;   // the components open at this line, outermost first
    std::vector<Begin> _begins; // every BEGIN of the top-level component being read, in order
};

} // namespace

CalendarRead readCalendar(const QByteArray& bytes, const QString& fileName) {
    CalendarRead read;
    if (bytes.size() > kMaxCalendarBytes) {
        read.error = QStringLiteral("%1 is larger than %2 MB, more than a list of to-dos ever needs.")
                         .arg(fileName)
                         .arg(kMaxCalendarBytes / (1024 * 1024));
        return read;
    }
    LineFeeder feeder(fileName, read);
    QByteArray logical;
    qsizetype logicalStart = 0;
    qsizetype number = 0;
    qsizetype position = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (position < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', position);
        if (end < 0)
            end = bytes.size();
        QByteArrayView line(bytes.constData() + position, end - position);
        if (line.endsWith('\r'))
            line.chop(1);
        position = end + 1;
        ++number;
        // A line that begins with a space or a tab continues the one before it.
        if (!logical.isEmpty() && !line.isEmpty() && (line[0] == ' ' || line[0] == '\t')) {
            logical.append(line.sliced(1));
            continue;
        }
        if (!logical.isEmpty() && !feeder.feed(std::move(logical), logicalStart))
            return read;
        logical = line.toByteArray();
        logicalStart = number;
    }
    if (!logical.isEmpty() && !feeder.feed(std::move(logical), logicalStart))
        return read;
    if (!feeder.end())
        return read;
    if (read.components.empty())
        read.error = QStringLiteral("%1 holds no iCalendar data (no BEGIN:VCALENDAR).").arg(fileName);
    return read;
}

CalendarTodos todosIn(const CalendarRead& read) {
    CalendarTodos found;
    for (const IcalComponentPtr& component : read.components) {
        if (icalcomponent_isa(component.get()) != ICAL_VCALENDAR_COMPONENT) {
            ++found.others;
            continue;
        }
        for (icalcomponent* c = icalcomponent_get_first_component(component.get(), ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(component.get(), ICAL_ANY_COMPONENT)) {
            const icalcomponent_kind kind = icalcomponent_isa(c);
            if (kind == ICAL_VTODO_COMPONENT)
                found.todos.push_back(c);
            else if (kind != ICAL_VTIMEZONE_COMPONENT)
                ++found.others;
        }
    }
    return found;
}

} // namespace tardigo
