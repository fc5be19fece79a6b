// Dark and light: colours made readable over the dark palette, and the desktop's preference read from
// a portal on a private session bus, as the desktop's portal answers and announces it.

#include "gui_test_support.h"
#include "local_servers.h"

#include "appearance/color_scheme_portal.h"
#include "appearance/dark_palette.h"
#include "appearance/readable_color.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QTest>

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
    QDBusVariant Read(const QString& group, const QString& key, const QDBusMessage& message) {
        ++reads;
        if (!answers) {
            message.setDelayedReply(true); // and never sent
            return {};
        }
        if (group != QLatin1String("org.freedesktop.appearance") || key != QLatin1String("color-scheme")) {
            QDBusConnection(QStringLiteral("portal"))
                .send(message.createErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                                               QStringLiteral("no such setting")));
            return {};
        }
        return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme)));
    }

signals:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);
};

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
