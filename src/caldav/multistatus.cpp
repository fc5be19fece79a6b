#include "caldav/multistatus.h"

#include <QXmlStreamReader>

namespace tardigo {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");

bool is(const QXmlStreamReader& xml, const QString& space, QLatin1StringView name) {
    return xml.namespaceUri() == space && xml.name() == name;
}

/// "HTTP/1.1 404 Not Found" → 404.
int statusCode(const QString& line) {
    return line.section(u' ', 1, 1).toInt();
}

class MultistatusReader {
public:
    MultistatusReader(const QByteArray& text, const QUrl& base) : _xml(text), _base(base) {}

    std::optional<Multistatus> read(QString* error) {
        Multistatus answer;
        if (_xml.readNextStartElement() && is(_xml, kDav, QLatin1StringView("multistatus"))) {
            while (_xml.readNextStartElement()) {
                if (is(_xml, kDav, QLatin1StringView("response")))
                    answer.resources << readResponse();
                else if (is(_xml, kDav, QLatin1StringView("sync-token")))
                    answer.syncToken = _xml.readElementText().trimmed().toUtf8();
                else
                    _xml.skipCurrentElement();
            }
        } else if (!_xml.hasError()) {
            _xml.raiseError(QStringLiteral("it is no multistatus answer"));
        }
        if (_xml.hasError()) {
            *error = QStringLiteral("%1 (line %2)").arg(_xml.errorString()).arg(_xml.lineNumber());
            return std::nullopt;
        }
        return answer;
    }

private:
    QUrl href() { return _base.resolved(QUrl(_xml.readElementText().trimmed())); }

    DavResource readResponse() {
        DavResource resource;
        while (_xml.readNextStartElement()) {
            if (is(_xml, kDav, QLatin1StringView("href")))
                resource.url = href();
            else if (is(_xml, kDav, QLatin1StringView("status")))
                resource.status = statusCode(_xml.readElementText());
            else if (is(_xml, kDav, QLatin1StringView("propstat")))
                readPropstat(resource);
            else
                _xml.skipCurrentElement();
        }
        return resource;
    }

    /// Keeps the properties of a propstat only when its status says they were found.
    void readPropstat(DavResource& resource) {
        DavResource found = resource;
        int status = 0;
        while (_xml.readNextStartElement()) {
            if (is(_xml, kDav, QLatin1StringView("status")))
                status = statusCode(_xml.readElementText());
            else if (is(_xml, kDav, QLatin1StringView("prop")))
                readProperties(found);
            else
                _xml.skipCurrentElement();
        }
        if (status / 100 == 2)
            resource = found;
    }

    void readProperties(DavResource& resource) {
        while (_xml.readNextStartElement()) {
            if (is(_xml, kDav, QLatin1StringView("getetag")))
                resource.etag = _xml.readElementText().trimmed().toUtf8();
            else if (is(_xml, kDav, QLatin1StringView("displayname")))
                resource.displayName = _xml.readElementText().trimmed();
            else if (is(_xml, kDav, QLatin1StringView("sync-token")))
                resource.syncToken = _xml.readElementText().trimmed().toUtf8();
            else if (is(_xml, kDav, QLatin1StringView("resourcetype")))
                readResourceType(resource);
            else if (is(_xml, kCalDav, QLatin1StringView("supported-calendar-component-set")))
                resource.components = readComponents();
            else if (is(_xml, kDav, QLatin1StringView("supported-report-set")))
                resource.offersSyncCollection = containsElement(kDav, QLatin1StringView("sync-collection"));
            else if (is(_xml, kDav, QLatin1StringView("current-user-principal")))
                resource.principal = hrefs().value(0);
            else if (is(_xml, kCalDav, QLatin1StringView("calendar-home-set")))
                resource.calendarHomes = hrefs();
            else if (is(_xml, kCalDav, QLatin1StringView("calendar-data")))
                resource.calendarData = _xml.readElementText().toUtf8();
            else
                _xml.skipCurrentElement();
        }
    }

    void readResourceType(DavResource& resource) {
        while (_xml.readNextStartElement()) {
            resource.isCollection |= is(_xml, kDav, QLatin1StringView("collection"));
            resource.isCalendar |= is(_xml, kCalDav, QLatin1StringView("calendar"));
            _xml.skipCurrentElement();
        }
    }

    QStringList readComponents() {
        QStringList names;
        while (_xml.readNextStartElement()) {
            if (is(_xml, kCalDav, QLatin1StringView("comp")))
                names << _xml.attributes().value(QLatin1StringView("name")).toString().toUpper();
            _xml.skipCurrentElement();
        }
        return names;
    }

    QList<QUrl> hrefs() {
        QList<QUrl> urls;
        while (_xml.readNextStartElement()) {
            if (is(_xml, kDav, QLatin1StringView("href")))
                urls << href();
            else
                _xml.skipCurrentElement();
        }
        return urls;
    }

    /// Whether the current element holds the named one at any depth; reads to its end.
    bool containsElement(const QString& space, QLatin1StringView name) {
        bool found = false;
        for (int depth = 1; depth > 0 && !_xml.atEnd();) {
            switch (_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                found |= is(_xml, space, name);
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            default:
                break;
            }
        }
        return found;
    }

    QXmlStreamReader _xml;
    QUrl _base;
};

} // namespace

std::optional<Multistatus> readMultistatus(const QByteArray& xml, const QUrl& base, QString* error) {
    return MultistatusReader(xml, base).read(error);
}

} // namespace tardigo
