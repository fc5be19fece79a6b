#include "ical/calendar_reader.h"

#include "ical/ical_properties.h"
#include "platform/file_name_encoding.h"

#include <QHash>

#include <algorithm>
#include <cctype>

namespace tardigo {

namespace {

constexpr int kMaxNesting = 16; // a calendar holds to-dos that hold alarms: three levels in use
constexpr qsizetype kQuotedLength = 60;
constexpr qsizetype kQuotedErrorLength = 160; // libical's words about a line, which may quote it

struct Begin {
    QByteArray name;
    qsizetype line = 0;
    /// Where libical keeps it: each component up from the top as its kind and its count among its
    /// parent's components of that kind ("VCALENDAR#1/VTODO#2"); empty for one libical drops. libical
    /// keeps the components of a kind in their order, though not those of different kinds.
    QByteArray path;
    QHash<QByteArray, int> kinds; // how many components of each kind it holds so far
};

/// A property line libical could not read.
struct Unread {
    QByteArray name;
    QByteArray component; // the path of the component it stands in
};

/// The start of a text from the file, so that no message holds much of what a file says.
QString excerpt(QByteArrayView text, qsizetype length = kQuotedLength) {
    const qsizetype taken = std::min(text.size(), length);
    return QString::fromUtf8(text.first(taken)) + (taken < text.size() ? QStringLiteral("…") : QString());
}

bool isUtf8(QByteArrayView line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return uchar(c) < 0x80; }) || isUtf8Text(line);
}

QString kindName(icalcomponent* component) {
    return QString::fromLatin1(icalcomponent_kind_to_string(icalcomponent_isa(component)));
}

/// The component and every one below it, by their paths (see Begin::path).
std::vector<std::pair<QByteArray, icalcomponent*>> componentsByPath(icalcomponent* top) {
    std::vector<std::pair<QByteArray, icalcomponent*>> found{{kindName(top).toLatin1() + "#1", top}};
    for (size_t next = 0; next < found.size(); ++next) {
        const auto [path, component] = found[next];
        QHash<QByteArray, int> kinds;
        for (icalcomponent* child = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); child;
             child = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT)) {
            const QByteArray kind = kindName(child).toLatin1();
            found.emplace_back(path + '/' + kind + '#' + QByteArray::number(++kinds[kind]), child);
        }
    }
    return found;
}

/// Feeds unfolded lines to libical, keeps the first problem of structure, and notes the properties
/// libical cannot read.
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
        const ContentLine content = splitContentLine(line);
        const QByteArray& name = content.name;
        const bool bounds = name == "BEGIN" || name == "END"; // which take no parameters
        if (name.isEmpty() || (bounds && line[name.size()] != ':'))
            return fail(
                QStringLiteral("%1, line %2: libical cannot read “%3”. Correct or remove that line and try "
                               "again.")
                    .arg(_fileName)
                    .arg(number)
                    .arg(excerpt(line)));
        if (name == "BEGIN") {
            if (!begin(content.value.trimmed().toUpper(), number))
                return false;
        } else if (name == "END") {
            if (!end(content.value.trimmed().toUpper(), number))
                return false;
        } else if (content.value.isEmpty()) {
            // iCalendar allows empty values, which libical refuses: the property reads as absent.
            return true;
        }
        icalcomponent* done = icalparser_add_line(_parser, line.data());
        if (icalparser_get_state(_parser) == ICALPARSER_ERROR) {
            _unread.push_back({name, _open.empty() ? QByteArray() : _open.back().path});
            _read.unread.append(QStringLiteral("%1, line %2: libical cannot read “%3”.")
                                    .arg(_fileName)
                                    .arg(number)
                                    .arg(excerpt(line)));
        }
        if (done)
            finish(IcalComponentPtr(done));
        return true;
    }

    /// Ends the text; false when it ends inside a component.
    bool end() {
        // What the text left open stays the parser's: icalparser_free() frees it.
        if (icalparser_clean(_parser) || !_open.empty()) {
            Begin nothingOpen;
            nothingOpen.name = "a component";
            const Begin& outer = _open.empty() ? nothingOpen : _open.front();
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

    bool begin(const QByteArray& component, qsizetype number) {
        QByteArray path;
        if (isKnownComponent(component.constData())) {
            if (_open.empty())
                path = component + "#1";
            else if (!_open.back().path.isEmpty())
                path = _open.back().path + '/' + component + '#' +
                       QByteArray::number(++_open.back().kinds[component]);
        }
        _open.push_back({component, number, path, {}});
        if (_open.size() > kMaxNesting)
            return fail(QStringLiteral("%1, line %2: components nest more than %3 deep.")
                            .arg(_fileName)
                            .arg(number)
                            .arg(kMaxNesting));
        if (!path.isEmpty())
            _beginLines.insert(path, number);
        return true;
    }

    bool end(const QByteArray& component, qsizetype number) {
        if (_open.empty())
            return fail(QStringLiteral("%1, line %2: “END:%3” ends no component: none is open there.")
                            .arg(_fileName)
                            .arg(number)
                            .arg(excerpt(component)));
        if (_open.back().name != component)
            return fail(QStringLiteral("%1, line %2: “END:%3” does not end the %4 that begins at line %5.")
                            .arg(_fileName)
                            .arg(number)
                            .arg(excerpt(component), excerpt(_open.back().name))
                            .arg(_open.back().line));
        _open.pop_back();
        return true;
    }

    /// Takes a finished top-level component. libical's marks of what it could not read are taken
    /// out; each property it left out gets a marker of its name in its component.
    void finish(IcalComponentPtr component) {
        QHash<QByteArray, qsizetype> beginLines;
        std::vector<Unread> unread;
        beginLines.swap(_beginLines);
        unread.swap(_unread);
        const std::vector<std::pair<QByteArray, icalcomponent*>> components =
            componentsByPath(component.get());
        QHash<QByteArray, icalcomponent*> byPath;
        for (const auto& [path, c] : components)
            byPath.insert(path, c);
        QHash<QByteArray, int> unreadIn;
        for (const Unread& line : unread) {
            if (icalcomponent* c = byPath.value(line.component)) {
                ++unreadIn[line.component];
                addXProperty(c, kUnreadProperty, QString::fromLatin1(line.name));
            }
        }
        for (const auto& entry : components) {
            const QByteArray& path = entry.first; // named, not bound: clang 14 captures no bindings
            icalcomponent* const c = entry.second;
            int errors = 0;
            removePropertiesWhere(c, [&](icalproperty* p) {
                if (icalproperty_isa(p) != ICAL_XLICERROR_PROPERTY)
                    return false;
                // A parameter libical could not read leaves the line's property in, with a mark of
                // its own beside it: that part of the line is what was left out.
                if (++errors > unreadIn.value(path))
                    _read.unread.append(
                        QStringLiteral(
                            "%1: in the %2 that begins at line %3, libical could not read all of a "
                            "property: “%4”.")
                            .arg(_fileName, kindName(c))
                            .arg(beginLines.value(path))
                            .arg(excerpt(icalproperty_get_xlicerror(p), kQuotedErrorLength)));
                return true;
            });
        }
        _read.components.push_back(std::move(component));
    }

    QString _fileName;
    CalendarRead& _read;
    icalparser* _parser = icalparser_new();
    std::vector<Begin> _open;                 // the components open at this line, outermost first
    QHash<QByteArray, qsizetype> _beginLines; // each component libical keeps, by its path: where it begins
    std::vector<Unread> _unread;              // the lines of the top-level component libical could not read
};

} // namespace

ContentLine splitContentLine(const QByteArray& line) {
    qsizetype end = 0;
    while (end < line.size() && (std::isalnum(uchar(line[end])) || line[end] == '-'))
        ++end;
    if (end == 0 || end == line.size() || (line[end] != ';' && line[end] != ':'))
        return {};
    bool quoted = false;
    for (qsizetype i = end; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return {line.first(end).toUpper(), line.sliced(i + 1)};
    }
    return {};
}

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
