#include "ical/kept_calendar_text.h"

#include "ical/calendar_reader.h"
#include "ical/ical_handle.h"
#include "ical/ical_properties.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace tardigo {

namespace {

/// A property's line as libical writes it, unfolded.
QByteArray canonicalText(icalproperty* property) {
    return takeIcalText(icalproperty_as_ical_string_r(property)).replace("\r\n ", "").trimmed();
}

/// What libical reads a content line as, written out again: a property each (it reads the values
/// of some, as CATEGORIES, as a property each); none for a line it cannot read.
QByteArrayList canonicalLine(const QByteArray& line) {
    const QByteArray text = "BEGIN:VCALENDAR\r\n" + line + "\r\nEND:VCALENDAR\r\n";
    const IcalComponentPtr calendar(icalparser_parse_string(text.constData()));
    QByteArrayList properties;
    for (icalproperty* p = calendar ? icalcomponent_get_first_property(calendar.get(), ICAL_ANY_PROPERTY)
                                    : nullptr;
         p; p = icalcomponent_get_next_property(calendar.get(), ICAL_ANY_PROPERTY)) {
        if (icalproperty_isa(p) != ICAL_XLICERROR_PROPERTY)
            properties.append(canonicalText(p));
    }
    return properties;
}

/// One content line as the file holds it.
struct RawLine {
    QByteArray folded;   // the line with its continuation lines and line ends, exactly as they came
    QByteArray unfolded; // the content line itself
};

/// A component of the file: its BEGIN and END lines, and its property lines and components in the
/// order they come.
struct RawComponent {
    QByteArray name;
    RawLine begin, end;
    struct Part {
        RawLine line;
        std::unique_ptr<RawComponent> child; // set for a component, else the part is a line
    };
    std::vector<Part> parts;
    std::vector<QByteArrayList> readAs; // for each line, in order: what libical reads it as
};

/// The file's lines, each component nested in the one it stands in; the top is a frame around them.
RawComponent rawComponents(const QByteArray& bytes) {
    RawComponent top;
    std::vector<RawComponent*> open{&top};
    std::vector<RawLine> lines;
    qsizetype position = 0;
    while (position < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', position);
        end = end < 0 ? bytes.size() : end + 1;
        QByteArrayView line(bytes.constData() + position, end - position);
        const QByteArrayView content = line.endsWith("\r\n") ? line.chopped(2)
                                       : line.endsWith('\n') ? line.chopped(1)
                                                             : line;
        const bool continues =
            !lines.empty() && !content.isEmpty() && (content[0] == ' ' || content[0] == '\t');
        if (continues) {
            lines.back().folded += line;
            lines.back().unfolded += content.sliced(1);
        } else {
            lines.push_back({line.toByteArray(), content.toByteArray()});
        }
        position = end;
    }
    for (RawLine& line : lines) {
        const ContentLine content = splitContentLine(line.unfolded);
        if (content.name == "BEGIN") {
            auto child = std::make_unique<RawComponent>();
            child->name = content.value.trimmed().toUpper();
            child->begin = std::move(line);
            RawComponent* opened = child.get();
            open.back()->parts.push_back({{}, std::move(child)});
            open.push_back(opened);
        } else if (content.name == "END" && open.size() > 1) {
            open.back()->end = std::move(line);
            open.pop_back();
        } else {
            open.back()->readAs.push_back(canonicalLine(line.unfolded));
            open.back()->parts.push_back({std::move(line), nullptr});
        }
    }
    return top;
}

bool isMarker(icalproperty* property) {
    const char* name = icalproperty_get_x_name(property);
    return icalproperty_isa(property) == ICAL_X_PROPERTY && name && qstricmp(name, kUnreadProperty) == 0;
}

QByteArray verbatim(const RawComponent& raw) {
    QByteArray out = raw.begin.folded;
    for (const RawComponent::Part& part : raw.parts)
        out += part.child ? verbatim(*part.child) : part.line.folded;
    return out + raw.end.folded;
}

/// A component read and changed, against the lines it was read from.
class Rendering {
public:
    Rendering(const RawComponent& raw, icalcomponent* component)
        : _raw(raw), _rawCanon(raw.readAs), _component(component) {
        for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(component, ICAL_ANY_PROPERTY)) {
            if (isMarker(p))
                _markers.insert(icalString(icalproperty_get_x(p)).toLatin1().toUpper());
            else
                _properties.push_back({p, canonicalText(p)});
        }
    }

    /// How many of the component's properties say what a line of `raw` says: a component of the
    /// file that shares none is not this one.
    int overlap() const {
        QHash<QByteArray, int> lines;
        int unread = 0;
        size_t index = 0;
        for (const RawComponent::Part& part : _raw.parts) {
            if (part.child)
                continue;
            const QByteArrayList& canon = _rawCanon[index++];
            for (const QByteArray& unit : canon)
                ++lines[unit];
            if (canon.isEmpty() && _markers.contains(splitContentLine(part.line.unfolded).name))
                ++unread;
        }
        int shared = unread;
        for (const Property& property : _properties) {
            if (int& count = lines[property.canon]; count > 0) {
                --count;
                ++shared;
            }
        }
        return shared;
    }

    QByteArray text() {
        // A line stays where every property libical reads it as is still there.
        QHash<QByteArray, int> left; // what the properties say, and how many say it not yet matched
        for (const Property& property : _properties)
            ++left[property.canon];
        std::vector<bool> keptLine(_rawCanon.size(), false);
        for (size_t i = 0; i < _rawCanon.size(); ++i) {
            const QByteArrayList& canon = _rawCanon[i];
            QHash<QByteArray, int> wanted;
            for (const QByteArray& unit : canon)
                ++wanted[unit];
            keptLine[i] = !canon.isEmpty();
            for (auto it = wanted.cbegin(); it != wanted.cend(); ++it)
                keptLine[i] = keptLine[i] && left.value(it.key()) >= it.value();
            if (keptLine[i])
                for (const QByteArray& unit : canon)
                    --left[unit];
        }
        for (Property& property : _properties) {
            if (int& count = left[property.canon]; count > 0) {
                --count;
                _newNames.insert(splitContentLine(property.canon).name);
            } else {
                property.emitted = true; // as its line
            }
        }
        QByteArray out = _raw.begin.folded;
        std::vector<icalcomponent*> children;
        for (icalcomponent* c = icalcomponent_get_first_component(_component, ICAL_ANY_COMPONENT); c;
             c = icalcomponent_get_next_component(_component, ICAL_ANY_COMPONENT))
            children.push_back(c);
        std::vector<icalcomponent*> aligned = align(children);
        // New components go after the others, new time zones before them, where readers look first.
        const auto newComponents = [&](bool zones) {
            QByteArray text;
            for (icalcomponent* child : children) {
                if ((icalcomponent_isa(child) == ICAL_VTIMEZONE_COMPONENT) == zones &&
                    std::find(aligned.begin(), aligned.end(), child) == aligned.end())
                    text += icalText(child);
            }
            return text;
        };
        bool propertiesDone = false;
        size_t index = 0, childIndex = 0;
        for (const RawComponent::Part& part : _raw.parts) {
            if (part.child) {
                if (!propertiesDone) {
                    out += newProperties({}) + newComponents(true);
                    propertiesDone = true;
                }
                if (icalcomponent* child = aligned[childIndex++])
                    out += Rendering(*part.child, child).text();
                else if (!isKnownComponent(part.child->name.constData()))
                    out += verbatim(*part.child);
                continue;
            }
            const QByteArray name = splitContentLine(part.line.unfolded).name;
            const size_t line = index++;
            if (keptLine[line])
                out += part.line.folded;
            else if (!_rawCanon[line].isEmpty() && !propertiesDone)
                out += newProperties(name); // what replaces it stands where it stood
            else if (_rawCanon[line].isEmpty() && !_newNames.contains(name))
                out += part.line.folded;
        }
        if (!propertiesDone)
            out += newProperties({}) + newComponents(true);
        out += newComponents(false);
        return out + (_raw.end.folded.isEmpty() ? QByteArray("END:") + _raw.name + "\r\n" : _raw.end.folded);
    }

private:
    struct Property {
        icalproperty* property;
        QByteArray canon;
        bool emitted = false;
    };

    /// The properties written anew that are still to come; only those named `name` when it is given.
    QByteArray newProperties(const QByteArray& name) {
        QByteArray out;
        for (Property& property : _properties) {
            if (property.emitted || (!name.isEmpty() && splitContentLine(property.canon).name != name))
                continue;
            property.emitted = true;
            out += takeIcalText(icalproperty_as_ical_string_r(property.property));
        }
        return out;
    }

    /// For each component of the file, in order, the changed one it became; null for one removed.
    std::vector<icalcomponent*> align(const std::vector<icalcomponent*>& children) const {
        std::vector<const RawComponent*> raw;
        for (const RawComponent::Part& part : _raw.parts)
            if (part.child)
                raw.push_back(part.child.get());
        std::vector<icalcomponent*> aligned(raw.size(), nullptr);
        size_t cursor = 0;
        for (icalcomponent* child : children) {
            const QByteArray kind = icalcomponent_kind_to_string(icalcomponent_isa(child));
            for (size_t i = cursor; i < raw.size(); ++i) {
                if (raw[i]->name == kind && Rendering(*raw[i], child).overlap() > 0) {
                    aligned[i] = child;
                    cursor = i + 1;
                    break;
                }
            }
        }
        return aligned;
    }

    const RawComponent& _raw;
    const std::vector<QByteArrayList>& _rawCanon;
    icalcomponent* _component;
    std::vector<Property> _properties;
    QSet<QByteArray> _markers;  // the names of the lines libical could not read
    QSet<QByteArray> _newNames; // the names of the properties written anew
};

} // namespace

QByteArray keptCalendarText(const QByteArray& original, icalcomponent* calendar) {
    const RawComponent file = rawComponents(original);
    const QByteArray kind = icalcomponent_kind_to_string(icalcomponent_isa(calendar));
    const RawComponent::Part* match = nullptr;
    for (const RawComponent::Part& part : file.parts) {
        if (part.child && part.child->name == kind && Rendering(*part.child, calendar).overlap() > 0) {
            match = &part;
            break;
        }
    }
    if (!match)
        return icalText(calendar);
    QByteArray out;
    for (const RawComponent::Part& part : file.parts) {
        out += &part == match ? Rendering(*part.child, calendar).text()
               : part.child   ? verbatim(*part.child)
                              : part.line.folded;
    }
    return out;
}

} // namespace tardigo
