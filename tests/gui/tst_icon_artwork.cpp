#include "appearance/icon_for_name.h"
#include "platform/settings.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

using namespace tardigo;

namespace {

// Built-in images the program asks for by name that the icon defaults do not mention.
const QStringList kOtherBuiltIns = {"vk_checkmark",
                                    "done-toolbar-item",
                                    "notes-toolbar-item",
                                    "stickies-toolbar-item",
                                    "sidebar-open",
                                    "sidebar-closed",
                                    "inspector-panel",
                                    "sort-arrow",
                                    "hide-completed-toolbar-item",
                                    "recent-docs-toolbar-item",
                                    "print-toolbar-item",
                                    "colors-toolbar-item",
                                    "fonts-toolbar-item",
                                    "separator-toolbar-item",
                                    "flexible-space-toolbar-item",
                                    "tardigo"};

QStringList builtInNames() {
    Settings settings;
    settings.useMemoryOnly();
    QStringList names = settings.itemIcons();
    for (const auto& [name, status] : settings.iconConditions()->entries)
        names << name;
    names << kOtherBuiltIns;
    names.removeDuplicates();
    return names;
}

struct Coverage {
    int opaque = 0;
    float darkest = 1.0f;
    float lightest = 0.0f;
};

// How much of the image is painted and the range of lightness of what is painted.
Coverage measure(const QImage& image) {
    Coverage c;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < 200)
                continue;
            ++c.opaque;
            c.darkest = std::min(c.darkest, pixel.lightnessF());
            c.lightest = std::max(c.lightest, pixel.lightnessF());
        }
    }
    return c;
}

QString writeImage(const QString& path, Qt::GlobalColor color) {
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(color);
    return image.save(path, "PNG") ? path : QString();
}

QColor centreOf(const QIcon& icon) {
    return icon.pixmap(QSize(16, 16)).toImage().pixelColor(8, 8);
}

} // namespace

class TestIconArtwork : public QObject {
    Q_OBJECT
private slots:
    void everyArtworkFileIsAResource() {
        const QDir sources(QStringLiteral(TARDIGO_SOURCE_DIR "/resources/icons"));
        iconForName(QStringLiteral("vk_notdone")); // registers the resources
        QStringList shipped = QDir(QStringLiteral(":/icons")).entryList();
        QStringList drawn = sources.entryList({QStringLiteral("*.svg")}, QDir::Files);
        shipped.sort();
        drawn.sort();
        QCOMPARE(shipped, drawn);
        QStringList expected = builtInNames();
        for (QString& name : expected)
            name += QStringLiteral(".svg");
        expected.sort();
        QCOMPARE(drawn, expected);
    }

    void builtInIconsReadAtSmallAndDoubleSize_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : builtInNames())
            QTest::newRow(qPrintable(name)) << name;
    }

    void builtInIconsReadAtSmallAndDoubleSize() {
        QFETCH(QString, name);
        // A broken reference or an unreadable file only shows as a warning of the renderer.
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
        QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBox().width(), renderer.viewBox().height());

        const QIcon icon = iconForName(name);
        QVERIFY(!icon.isNull());
        QCOMPARE(iconForName(name).cacheKey(), icon.cacheKey());
        for (const int size : {16, 32}) {
            const QImage image = icon.pixmap(QSize(size, size)).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            const Coverage c = measure(image);
            QVERIFY2(c.opaque >= size * size / 8, qPrintable(QStringLiteral("%1 px nearly empty").arg(size)));
            // A dark edge reads on a light window and a light or coloured part on a dark one.
            QVERIFY2(c.darkest < 0.4, qPrintable(QStringLiteral("no dark edge, darkest %1").arg(c.darkest)));
            QVERIFY2(c.lightest > 0.5,
                     qPrintable(QStringLiteral("no light part, lightest %1").arg(c.lightest)));
        }
    }

    void otherNamesAreImageFiles() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = writeImage(dir.filePath("flag.png"), Qt::red);
        QVERIFY(!path.isEmpty());
        QCOMPARE(centreOf(iconForName(path)), QColor(Qt::red));

        // A file is read again at every request, so a replaced image shows at once.
        QVERIFY(!writeImage(path, Qt::blue).isEmpty());
        QCOMPARE(centreOf(iconForName(path)), QColor(Qt::blue));

        QFile garbage(dir.filePath("broken.png"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("not an image at all");
        garbage.close();
        QVERIFY(iconForName(garbage.fileName()).isNull());
        QVERIFY(iconForName(dir.filePath("gone.png")).isNull());
        QVERIFY(iconForName(QString()).isNull());
        QVERIFY(iconForName(QStringLiteral("vk_no-such-icon")).isNull());
    }
};

QTEST_MAIN(TestIconArtwork)
#include "tst_icon_artwork.moc"
