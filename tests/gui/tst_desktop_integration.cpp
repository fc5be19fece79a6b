#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString kResources = QStringLiteral(TARDIGO_SOURCE_DIR "/resources");
const QString kListType = QStringLiteral("application/x-tardigo-todo");

// The keys of the main group of a desktop entry.
QHash<QString, QString> desktopEntry(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QHash<QString, QString> entry;
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
        else if (const qsizetype equals = line.indexOf(QLatin1Char('=')); inMainGroup && equals > 0)
            entry.insert(line.left(equals), line.mid(equals + 1));
    }
    return entry;
}

// The text, or else the given attribute, of every element with this name.
QStringList xmlValues(const QString& path, const QString& element, const QString& attribute = {}) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList values;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element)
            values << (attribute.isEmpty() ? xml.readElementText()
                                           : xml.attributes().value(attribute).toString());
    }
    return values;
}

} // namespace

class TestDesktopIntegration : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Our type joins the system's database through a data folder searched first.
        QVERIFY(_data.isValid());
        QVERIFY(QDir().mkpath(_data.filePath("mime/packages")));
        QVERIFY(
            QFile::copy(kResources + "/tardigo-mime.xml", _data.filePath("mime/packages/tardigo-mime.xml")));
        const QByteArray systemDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_DIRS",
                _data.path().toUtf8() + ':' +
                    (systemDirs.isEmpty() ? QByteArray("/usr/local/share:/usr/share") : systemDirs));
    }

    void listsAreKnownByContent_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("isList");
        QTest::newRow("little-endian archive")
            << QByteArray("\x04\x0bstreamtyped\x81\xe8\x03\x84", 16) << true;
        QTest::newRow("big-endian archive") << QByteArray("\x04\x0btypedstream\x81\x03\xe8\x84", 16) << true;
        QTest::newRow("other version") << QByteArray("\x05\x0bstreamtyped\x81\xe8\x03\x84", 16) << false;
        QTest::newRow("text") << QByteArray("streamtyped lists") << false;
    }

    void listsAreKnownByContent() {
        QFETCH(QByteArray, content);
        QFETCH(bool, isList);
        QMimeDatabase mime;
        QCOMPARE(mime.mimeTypeForData(content).name() == kListType, isList);
    }

    void listsAreKnownByName() {
        const QMimeType type =
            QMimeDatabase().mimeTypeForFile(QStringLiteral("Errands.todo"), QMimeDatabase::MatchExtension);
        QCOMPARE(type.name(), kListType);
        QCOMPARE(type.comment(), QStringLiteral("Tardigo Todo List"));
    }

    void desktopEntryMetadataAndTypeAgree() {
        const QHash<QString, QString> entry = desktopEntry(kResources + "/tardigo.desktop");
        QVERIFY(entry.value("Exec").startsWith(QStringLiteral("tardigo ")));
        QVERIFY(QFile::exists(kResources + "/icons/" + entry.value("Icon") + ".svg"));
        QCOMPARE(entry.value("MimeType"), kListType + ';');
        QCOMPARE(xmlValues(kResources + "/tardigo-mime.xml", "mime-type", "type"), QStringList{kListType});

        const QString metainfo = kResources + "/io.tardigo.Tardigo.metainfo.xml";
        QCOMPARE(xmlValues(metainfo, "mediatype"), QStringList{kListType});
        QCOMPARE(xmlValues(metainfo, "launchable"), QStringList{QStringLiteral("tardigo.desktop")});
        QCOMPARE(xmlValues(metainfo, "binary"), QStringList{QStringLiteral("tardigo")});
    }

private:
    QTemporaryDir _data;
};

QTEST_MAIN(TestDesktopIntegration)
#include "tst_desktop_integration.moc"
