#include "fake_calendar_server.h"
#include "trickle.h"

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QXmlStreamReader>

#include <ctime>
#include <memory>
#include <optional>

namespace tardigo::test {

namespace {

const QByteArray kCalendarPath = "/calendars/alice/tasks/";

struct Request {
    QByteArray method;
    QByteArray path;                       // decoded
    QHash<QByteArray, QByteArray> headers; // by lower-case name
    QByteArray body;
};

/// Takes the first whole request off the bytes received; nothing while it is still arriving.
std::optional<Request> takeRequest(QByteArray& received) {
    const qsizetype headEnd = received.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return std::nullopt;
    Request request;
    const QList<QByteArray> lines = received.first(headEnd).split('\n');
    const QList<QByteArray> start = lines.value(0).trimmed().split(' ');
    request.method = start.value(0);
    request.path = QByteArray::fromPercentEncoding(start.value(1));
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.insert(line.first(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    const qsizetype length = request.headers.value("content-length").toLongLong();
    if (received.size() < headEnd + 4 + length)
        return std::nullopt;
    request.body = received.mid(headEnd + 4, length);
    received.remove(0, headEnd + 4 + length);
    return request;
}

QByteArray response(int status, const QByteArray& body = {}, const QByteArray& etag = {}) {
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(status) +
                       " Fake\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (!etag.isEmpty())
        bytes += "ETag: " + etag + "\r\n";
    if (status == 207)
        bytes += "Content-Type: application/xml; charset=utf-8\r\n";
    return bytes + "\r\n" + body;
}

/// The texts of the elements of that local name in the XML, in order.
QList<QByteArray> elementTexts(const QByteArray& xml, QLatin1StringView name) {
    QList<QByteArray> texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name)
            texts << reader.readElementText().toUtf8();
    return texts;
}

QByteArray escaped(const QByteArray& text) {
    return QByteArray(text).replace('&', "&amp;").replace('<', "&lt;").replace('>', "&gt;");
}

QByteArray member(const QByteArray& name, const QByteArray& properties) {
    return "<d:response><d:href>" + kCalendarPath + name + "</d:href><d:propstat><d:prop>" + properties +
           "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>\n";
}

QByteArray gone(const QByteArray& href) {
    return "<d:response><d:href>" + href +
           "</d:href><d:status>HTTP/1.1 404 Not Found</d:status></d:response>\n";
}

QByteArray multistatus(const QByteArray& responses) {
    return response(207, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<d:multistatus xmlns:d=\"DAV:\" "
                         "xmlns:c=\"urn:ietf:params:xml:ns:caldav\">\n" +
                             responses + "</d:multistatus>\n");
}

qint64 threadProcessorNsecs() {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

} // namespace

struct FakeCalendarServer::Calendar {
    struct Object {
        QByteArray etag;
        QByteArray data;
        qint64 revision = 0; // of its last change
        qint64 version = 1;  // counted from its making
    };
    QHash<QByteArray, Object> objects;  // by name
    QHash<QByteArray, qint64> removals; // name to the revision that removed it
    qint64 revision = 0;
    int epoch = 0; // tokens of another epoch are forgotten
    int trickleAfter = 0, trickleMsecs = 0;
    int delayMsecs = 0;
    bool countVersions = false;
    int todos = 0;
    int changesNamed = 0; // by the last sync-collection report
    int objectsSent = 0;

    QByteArray token() const {
        return "fake-sync/" + QByteArray::number(epoch) + '/' + QByteArray::number(revision);
    }
    QByteArray store(const QByteArray& name, const QByteArray& data) {
        const auto existing = objects.constFind(name);
        const qint64 version = existing == objects.cend() ? 1 : existing->version + 1;
        ++revision;
        const QByteArray etag = '"' + QByteArray::number(countVersions ? version : revision) + '"';
        objects.insert(name, {etag, data, revision, version});
        removals.remove(name);
        return etag;
    }
    void drop(const QByteArray& name) {
        objects.remove(name);
        removals.insert(name, ++revision);
    }

    /// What a request asks, answered; no request changes anything it would not on a real server.
    QByteArray answer(const Request& request) {
        if (!request.path.startsWith(kCalendarPath))
            return response(404);
        const QByteArray name = request.path.mid(kCalendarPath.size());
        if (request.method == "REPORT" && name.isEmpty())
            return request.body.contains("sync-collection") ? changes(request.body) : multiget(request.body);
        const auto object = objects.constFind(name);
        const bool exists = object != objects.cend();
        const QByteArray ifMatch = request.headers.value("if-match");
        if ((exists && request.headers.value("if-none-match") == "*") ||
            (!ifMatch.isEmpty() && (!exists || object->etag != ifMatch)))
            return response(412);
        if (request.method == "PUT" && !name.isEmpty() && !name.contains('/'))
            return response(exists ? 204 : 201, {}, store(name, request.body));
        if (!exists)
            return response(404);
        if (request.method == "GET") {
            ++objectsSent;
            return response(200, object->data, object->etag);
        }
        if (request.method == "DELETE") {
            drop(name);
            return response(204);
        }
        return response(405);
    }

    QByteArray changes(const QByteArray& body) {
        const QByteArray since = elementTexts(body, QLatin1StringView("sync-token")).value(0);
        const QList<QByteArray> parts = since.split('/');
        qint64 from = 0;
        if (!since.isEmpty()) {
            if (parts.size() != 3 || parts[0] != "fake-sync" || parts[1].toInt() != epoch)
                return response(403, "<d:error xmlns:d=\"DAV:\"><d:valid-sync-token/></d:error>");
            from = parts[2].toLongLong();
        }
        QByteArray responses;
        changesNamed = 0;
        for (auto it = objects.cbegin(); it != objects.cend(); ++it)
            if (it->revision > from) {
                responses += member(it.key(), "<d:getetag>" + it->etag + "</d:getetag>");
                ++changesNamed;
            }
        for (auto it = removals.cbegin(); it != removals.cend(); ++it)
            if (!since.isEmpty() && it.value() > from) {
                responses += gone(kCalendarPath + it.key());
                ++changesNamed;
            }
        return multistatus(responses + "<d:sync-token>" + token() + "</d:sync-token>\n");
    }

    QByteArray multiget(const QByteArray& body) {
        QByteArray responses;
        for (const QByteArray& href : elementTexts(body, QLatin1StringView("href"))) {
            const QByteArray name = QByteArray::fromPercentEncoding(href).mid(kCalendarPath.size());
            const auto object = objects.constFind(name);
            objectsSent += object == objects.cend() ? 0 : 1;
            responses += object == objects.cend()
                             ? gone(href)
                             : member(name, "<d:getetag>" + object->etag + "</d:getetag><c:calendar-data>" +
                                                escaped(object->data) + "</c:calendar-data>");
        }
        return multistatus(responses);
    }
};

/// The server's side on its thread: reads each request on a connection kept open, and answers it.
class FakeCalendarWorker : public QObject {
public:
    explicit FakeCalendarWorker(FakeCalendarServer& owner) : _owner(owner) {
        connect(&_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = _server.nextPendingConnection())
                serve(socket);
        });
        _server.listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return _server.serverPort(); }

private:
    void serve(QTcpSocket* socket) {
        auto received = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, received] {
            *received += socket->readAll();
            while (const std::optional<Request> request = takeRequest(*received)) {
                const int number = ++_owner._requests;
                QByteArray answer;
                int trickleMsecs = 0, delayMsecs = 0;
                {
                    const QMutexLocker lock(&_owner._mutex);
                    answer = _owner._calendar->answer(*request);
                    if (number > _owner._calendar->trickleAfter)
                        trickleMsecs = _owner._calendar->trickleMsecs;
                    delayMsecs = _owner._calendar->delayMsecs;
                }
                _owner._mostAtOnce = std::max<int>(_owner._mostAtOnce, ++_owner._atOnce);
                const auto send = [this, socket, answer, trickleMsecs] {
                    --_owner._atOnce;
                    if (trickleMsecs > 0)
                        trickle(socket, answer, trickleMsecs);
                    else
                        socket->write(answer);
                };
                if (delayMsecs > 0)
                    QTimer::singleShot(delayMsecs, socket, send);
                else
                    send();
                _owner._processorNsecs = threadProcessorNsecs();
            }
        });
    }

    FakeCalendarServer& _owner;
    QTcpServer _server;
};

void FakeCalendarServer::Thread::run() {
    FakeCalendarWorker worker(_owner);
    _owner._port = worker.port();
    _owner._listening.release();
    exec();
}

FakeCalendarServer::FakeCalendarServer() : _calendar(std::make_unique<Calendar>()) {
    _thread.start();
    _listening.acquire();
}

FakeCalendarServer::~FakeCalendarServer() {
    _thread.quit();
    _thread.wait();
}

QUrl FakeCalendarServer::calendar() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(_port).arg(QLatin1String(kCalendarPath)));
}

void FakeCalendarServer::addTodos(int count) {
    const QMutexLocker lock(&_mutex);
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(++_calendar->todos);
        _calendar->store("fake-" + n + ".ics",
                         "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Fake Calendar Server//EN\r\n"
                         "BEGIN:VTODO\r\nUID:fake-" +
                             n + "\r\nDTSTAMP:20240101T000000Z\r\nSUMMARY:To-do " + n +
                             "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    }
}

void FakeCalendarServer::forgetTokens() {
    const QMutexLocker lock(&_mutex);
    ++_calendar->epoch;
}

void FakeCalendarServer::trickleAfter(int requests, int msecs) {
    const QMutexLocker lock(&_mutex);
    _calendar->trickleAfter = requests;
    _calendar->trickleMsecs = msecs;
}

void FakeCalendarServer::delayAnswers(int msecs) {
    const QMutexLocker lock(&_mutex);
    _calendar->delayMsecs = msecs;
}

void FakeCalendarServer::countVersions() {
    const QMutexLocker lock(&_mutex);
    _calendar->countVersions = true;
}

void FakeCalendarServer::put(const QByteArray& name, const QByteArray& data) {
    const QMutexLocker lock(&_mutex);
    _calendar->store(name, data);
}

void FakeCalendarServer::remove(const QByteArray& name) {
    const QMutexLocker lock(&_mutex);
    _calendar->drop(name);
}

QHash<QByteArray, QByteArray> FakeCalendarServer::objects() const {
    const QMutexLocker lock(&_mutex);
    QHash<QByteArray, QByteArray> objects;
    for (auto it = _calendar->objects.cbegin(); it != _calendar->objects.cend(); ++it)
        objects.insert(it.key(), it->data);
    return objects;
}

int FakeCalendarServer::objectsSent() const {
    const QMutexLocker lock(&_mutex);
    return _calendar->objectsSent;
}

int FakeCalendarServer::lastChangesNamed() const {
    const QMutexLocker lock(&_mutex);
    return _calendar->changesNamed;
}

qsizetype FakeCalendarServer::objectCount() const {
    const QMutexLocker lock(&_mutex);
    return _calendar->objects.size();
}

} // namespace tardigo::test
