// Dark and light: colours made readable over the dark palette, and the desktop's preference read from
// a portal on a private session bus, as the desktop's portal answers and announces it.

#include "gui_test_support.h"
#include "local_servers.h"

#include "appearance/color_scheme_portal.h"
#include "appearance/dark_palette.h"
#include "appearance/readable_color.h"
#include "archive/color_value.h"
#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/inspector_view.h"
#include "rich_text/notes_text.h"
#include "window/document_main_window.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

using namespace tardigo;
using namespace tardigo::test;

namespace {

/// The desktop portal's settings, holding one colour scheme; Read answers a variant in a variant.
class FakeSettingsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    uint scheme = 0;
    bool answers = true;
    int reads = 0;

    void announce(const QString& group, const QString& key, uint value) {
        scheme = value;
        emit SettingChanged(group, key, QDBusVariant(value));
    }

public slots:
    QDBusVariant Read(const QString&, const QString&, const QDBusMessage& message) {
        ++reads;
        if (!answers) {
            message.setDelayedReply(true); // and never sent
            return {};
        }
        return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme)));
    }

signals:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);
};

/// An item in its own colour.
NodePtr coloured(const QString& name, QRgb rgb) {
    NodePtr node = item(name);
    const QColor color(rgb);
    node->set(key::color, Value::data(colorDataFromRgba(
                              {float(color.redF()), float(color.greenF()), float(color.blueF()), 1})));
    return node;
}

/// The most a pixel of the cell stands out from the base: its text's colour where a stroke is solid.
double strongestContrast(const QImage& image, const QRect& cell, const QColor& base) {
    double strongest = 1.0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
            strongest = std::max(strongest, contrastRatio(image.pixelColor(x, y), base));
    return strongest;
}

const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kColorScheme = QStringLiteral("color-scheme");

} // namespace

class TestColorScheme : public QObject {
    Q_OBJECT
    PrivateKeyring _bus;
    FakeSettingsPortal _portal;

    QDBusConnection app() { return QDBusConnection(QStringLiteral("app")); }

    /// The portal on the bus, or gone from it.
    void publishPortal(bool published) {
        QDBusConnection portal(QStringLiteral("portal"));
        if (published) {
            QVERIFY(
                portal.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &_portal,
                                      QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
            QVERIFY(portal.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        } else {
            portal.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
            portal.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
        }
    }

private slots:
    void initTestCase() {
        setUpGuiTest();
        TARDIGO_NEED(_bus.start(false));
        for (const char* name : {"portal", "app"})
            QVERIFY(QDBusConnection::connectToBus(QString::fromUtf8(_bus.address()), QLatin1String(name))
                        .isConnected());
    }

    void cleanup() { publishPortal(false); }

    void cleanupTestCase() {
        QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
        QDBusConnection::disconnectFromBus(QStringLiteral("app"));
    }

    void darkColoursAreLightenedOnADarkBaseKeepingTheirHue() {
        const QColor base = darkPalette().color(QPalette::Base);
        for (const QColor dark : {QColor(0x8b, 0, 0), QColor(0, 0, 0x8b), QColor(0x55, 0x1a, 0x8b),
                                  QColor(0, 0x40, 0), QColor(Qt::black)}) {
            const QColor shown = readableOn(dark, base);
            QVERIFY2(contrastRatio(shown, base) >= kReadableContrast, qPrintable(shown.name()));
            // Just as light as it takes: the item's colour stays recognisably its own.
            QVERIFY2(contrastRatio(shown, base) < kReadableContrast + 0.5, qPrintable(shown.name()));
            QVERIFY2(std::abs(shown.hslHue() - dark.hslHue()) <= 1, qPrintable(shown.name()));
            QVERIFY(std::abs(shown.hslSaturation() - dark.hslSaturation()) <= 2);
        }
        // Colours readable already, and any colour on a light base, are shown as they are.
        for (const QColor readable : {QColor(0xff, 0xd7, 0), QColor(0x90, 0xee, 0x90), QColor(Qt::white)})
            QCOMPARE(readableOn(readable, base), readable);
        QCOMPARE(readableOn(QColor(0x8b, 0, 0), QColor(Qt::white)), QColor(0x8b, 0, 0));
        QCOMPARE(readableOn(QColor(0xff, 0xd7, 0), QColor(Qt::white)), QColor(0xff, 0xd7, 0));
        QCOMPARE(readableOn(QColor(0x8b, 0, 0, 0x80), base).alpha(), 0x80);
    }

    void theDarkPaletteReadsWell() {
        const QPalette palette = darkPalette();
        const QColor base = palette.color(QPalette::Base);
        QVERIFY(isDarkBackground(base));
        for (const QPalette::ColorRole role :
             {QPalette::Text, QPalette::WindowText, QPalette::Link, QPalette::LinkVisited})
            QVERIFY2(contrastRatio(palette.color(role), base) >= kReadableContrast,
                     qPrintable(QString::number(role)));
    }

    void itemColoursAndNotesLinksReadOnTheDarkPalette() {
        useDarkPalette(true);
        const QTemporaryDir folder;
        NodePtr withLink = coloured(QStringLiteral("Notes with a link"), qRgb(0x1a, 0x1a, 0x70));
        TextRun before, link;
        before.text = QStringLiteral("The recipe is at ");
        link.text = QStringLiteral("the bakery's page");
        link.link = QStringLiteral("https://example.org/bread");
        link.color = Rgba{0.0f, 0.0f, 0.8f, 1.0f};
        link.underline = true;
        withLink->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({before, link}))));
        const NodePtr root = newListRoot();
        root->set(key::beta1DateFixedUp, Value::boolean(true)); // opens without repairs
        for (const NodePtr& node :
             {coloured("Dark red", qRgb(0x8b, 0, 0)), coloured("Dark blue", qRgb(0, 0, 0x8b)),
              coloured("Dark green", qRgb(0, 0x64, 0)), coloured("Indigo", qRgb(0x4b, 0, 0x82)),
              coloured("Gold", qRgb(0xff, 0xd7, 0)), item("No colour of its own"), withLink})
            childrenOf(*root)->items.push_back(node);
        const QString list = folder.filePath("colours.todo");
        QVERIFY(writeListFile(list, root).isEmpty());

        DocumentController controller;
        DocumentMainWindow* window = controller.openFile(list);
        QVERIFY(window);
        window->resize(900, 380);
        window->inspector().showToolWithId(InspectorToolNotes);
        selectShown(window->outline(), {rowNames(window->outline()).at(6)});
        window->show();
        QTest::qWait(100);

        OutlineTreeView& outline = window->outline();
        const QColor base = outline.palette().color(QPalette::Base);
        const QImage drawn = outline.viewport()->grab().toImage();
        for (int row : {0, 1, 2, 3}) {
            const QRect cell =
                outline.visualRect(shownCell(outline, rowNames(outline).at(row), Column::Name));
            // Antialiased strokes of a small font rarely reach their full colour: a margin below 4.5,
            // far above the 1.5 to 2.5 of the colours as stored.
            QVERIFY2(strongestContrast(drawn, cell, base) >= 4.0, qPrintable(rowNames(outline).at(row)));
        }
        auto* notes = window->findChild<QTextEdit*>(QStringLiteral("notesTextView"));
        QVERIFY(notes);
        const auto linkShown = [&] {
            QTextCursor shown(notes->document());
            shown.setPosition(before.text.size() + 2);
            return shown.charFormat().isAnchor() ? shown.charFormat().foreground().color() : QColor();
        };
        QVERIFY(contrastRatio(linkShown(), notes->palette().color(QPalette::Base)) >= kReadableContrast);
        QVERIFY(!notes->document()->isModified());
        if (const QByteArray shots = qgetenv("TARDIGO_SCREENSHOTS"); !shots.isEmpty())
            window->grab().save(QDir(QString::fromLocal8Bit(shots)).filePath("dark-colours.png"));

        // The palette switched while the notes are shown: they show their own colours in the light
        // one, and readable ones again in the dark one.
        useDarkPalette(false);
        QTRY_COMPARE(linkShown(), QColor::fromRgbF(0.0f, 0.0f, 0.8f));
        useDarkPalette(true);
        QTRY_VERIFY(contrastRatio(linkShown(), notes->palette().color(QPalette::Base)) >= kReadableContrast);
        QVERIFY(!notes->document()->isModified());
        useDarkPalette(false);
    }

    void thePortalsPreferenceIsFollowedAsItChanges() {
        _portal.scheme = 1;
        publishPortal(true);
        ColorSchemePortal portal(app());
        QSignalSpy changes(&portal, &ColorSchemePortal::preferenceChanged);
        portal.start();
        QVERIFY(!portal.prefersDark()); // nothing waits for the answer
        QTRY_VERIFY(portal.prefersDark());
        QCOMPARE(changes.size(), 1);

        _portal.announce(kAppearance, kColorScheme, 2);
        QTRY_VERIFY(!portal.prefersDark());
        _portal.announce(kAppearance, kColorScheme, 1);
        QTRY_VERIFY(portal.prefersDark());
        _portal.announce(kAppearance, kColorScheme, 0); // no preference is light
        QTRY_VERIFY(!portal.prefersDark());
        // Other settings change nothing.
        _portal.announce(kAppearance, QStringLiteral("accent-color"), 1);
        _portal.announce(QStringLiteral("org.gnome.desktop.interface"), kColorScheme, 1);
        _portal.announce(kAppearance, kColorScheme, 0);
        QTest::qWait(200);
        QVERIFY(!portal.prefersDark());
        QCOMPARE(changes.size(), 4);
        publishPortal(false);
    }

    void lightWithoutAPreferenceOrAPortal() {
        for (const uint scheme : {0u, 2u}) {
            _portal.scheme = scheme;
            _portal.reads = 0;
            publishPortal(true);
            ColorSchemePortal portal(app());
            portal.start();
            QTRY_COMPARE(_portal.reads, 1);
            QTest::qWait(100);
            QVERIFY(!portal.prefersDark());
            publishPortal(false);
        }

        // A portal that never answers leaves it light, and so does none at all; one that comes later
        // is heard.
        _portal.answers = false;
        _portal.reads = 0;
        publishPortal(true);
        ColorSchemePortal silent(app());
        silent.start(std::chrono::milliseconds(100));
        QTRY_COMPARE(_portal.reads, 1);
        QTest::qWait(300);
        QVERIFY(!silent.prefersDark());
        publishPortal(false);
        _portal.answers = true;

        ColorSchemePortal portal(app());
        portal.start();
        QTest::qWait(200);
        QVERIFY(!portal.prefersDark());
        publishPortal(true);
        _portal.announce(kAppearance, kColorScheme, 1);
        QTRY_VERIFY(portal.prefersDark());
        publishPortal(false);
    }
};

QTEST_MAIN(TestColorScheme)
#include "tst_color_scheme.moc"
