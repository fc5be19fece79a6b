#include "caldav/caldav_requests.h"

#include <QXmlStreamWriter>

namespace tardigo {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");

/// An XML body with the DAV and CalDAV namespaces declared on its root.
class Body {
public:
    Body(const QString& space, const QString& root) : _xml(&_bytes) {
        _xml.writeStartDocument();
        _xml.writeNamespace(kDav, QStringLiteral("d"));
        _xml.writeNamespace(kCalDav, QStringLiteral("c"));
        _xml.writeStartElement(space, root);
    }
    QXmlStreamWriter& xml() { return _xml; }
    void dav(const char* name) { _xml.writeEmptyElement(kDav, QLatin1String(name)); }
    void calDav(const char* name) { _xml.writeEmptyElement(kCalDav, QLatin1String(name)); }
    void open(const QString& space, const char* name) { _xml.writeStartElement(space, QLatin1String(name)); }
    void close() { _xml.writeEndElement(); }
    QByteArray bytes() {
        _xml.writeEndDocument();
        return _bytes;
    }

private:
    QByteArray _bytes;
    QXmlStreamWriter _xml;
};

DavRequest request(const char* method, const QUrl& url, int depth, QByteArray body) {
    DavRequest r{method, url, std::move(body), {}, {}};
    if (depth >= 0)
        r.headers.push_back({"Depth", QByteArray::number(depth)});
    return r;
}

/// A calendar-query or multiget report's wanted properties.
void etagAndData(Body& body, bool withData) {
    body.open(kDav, "prop");
    body.dav("getetag");
    if (withData)
        body.calDav("calendar-data");
    body.close();
}

} // namespace

DavRequest principalQuery(const QUrl& url) {
    Body body(kDav, QStringLiteral("propfind"));
    body.open(kDav, "prop");
    body.dav("current-user-principal");
    body.calDav("calendar-home-set");
    body.dav("resourcetype");
    body.close();
    return request("PROPFIND", url, 0, body.bytes());
}

DavRequest calendarQuery(const QUrl& url, int depth) {
    Body body(kDav, QStringLiteral("propfind"));
    body.open(kDav, "prop");
    body.dav("resourcetype");
    body.dav("displayname");
    body.calDav("supported-calendar-component-set");
    body.dav("supported-report-set");
    body.close();
    return request("PROPFIND", url, depth, body.bytes());
}

DavRequest todoTagQuery(const QUrl& calendar) {
    Body body(kCalDav, QStringLiteral("calendar-query"));
    etagAndData(body, false);
    body.open(kCalDav, "filter");
    body.open(kCalDav, "comp-filter");
    body.xml().writeAttribute(QStringLiteral("name"), QStringLiteral("VCALENDAR"));
    body.xml().writeEmptyElement(kCalDav, QStringLiteral("comp-filter"));
    body.xml().writeAttribute(QStringLiteral("name"), QStringLiteral("VTODO"));
    body.close();
    body.close();
    return request("REPORT", calendar, 1, body.bytes());
}

DavRequest multigetQuery(const QUrl& calendar, const QList<QUrl>& resources) {
    Body body(kCalDav, QStringLiteral("calendar-multiget"));
    etagAndData(body, true);
    for (const QUrl& resource : resources)
        body.xml().writeTextElement(kDav, QStringLiteral("href"), resource.path(QUrl::FullyEncoded));
    return request("REPORT", calendar, 1, body.bytes());
}

DavRequest syncCollectionQuery(const QUrl& collection, const QByteArray& token) {
    Body body(kDav, QStringLiteral("sync-collection"));
    body.xml().writeTextElement(kDav, QStringLiteral("sync-token"), QString::fromUtf8(token));
    body.xml().writeTextElement(kDav, QStringLiteral("sync-level"), QStringLiteral("1"));
    body.open(kDav, "prop");
    body.dav("getetag");
    body.close();
    return request("REPORT", collection, -1, body.bytes());
}

DavRequest makeCalendarRequest(const QUrl& url, const QString& displayName) {
    Body body(kCalDav, QStringLiteral("mkcalendar"));
    body.open(kDav, "set");
    body.open(kDav, "prop");
    body.xml().writeTextElement(kDav, QStringLiteral("displayname"), displayName);
    body.open(kCalDav, "supported-calendar-component-set");
    body.xml().writeEmptyElement(kCalDav, QStringLiteral("comp"));
    body.xml().writeAttribute(QStringLiteral("name"), QStringLiteral("VTODO"));
    body.close();
    body.close();
    body.close();
    return request("MKCALENDAR", url, -1, body.bytes());
}

} // namespace tardigo
