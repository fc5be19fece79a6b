#include "archive/color_value.h"
#include "typed_stream_test_data.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace tardigo;

namespace {

/// The constructed samples, made for these tests.
QString constructedSamples() {
    return test::samplesDir() + QStringLiteral("/constructed/");
}

Color color(int space, std::vector<float> components) {
    Color c;
    c.space = space;
    c.components = std::move(components);
    return c;
}

Color named(std::shared_ptr<Color> fallback) {
    Color c;
    c.space = Color::Named;
    c.catalog = QStringLiteral("System");
    c.name = QStringLiteral("textColor");
    c.fallback = std::move(fallback);
    return c;
}

bool near(const Rgba& a, const Rgba& b) {
    return qAbs(a.r - b.r) < 1e-6f && qAbs(a.g - b.g) < 1e-6f && qAbs(a.b - b.b) < 1e-6f &&
           qAbs(a.a - b.a) < 1e-6f;
}

} // namespace

Q_DECLARE_METATYPE(Color)
Q_DECLARE_METATYPE(std::optional<Rgba>)

class TestColorValue : public QObject {
    Q_OBJECT
private slots:
    void everySpaceGivesItsRgba_data() {
        QTest::addColumn<Color>("stored");
        QTest::addColumn<std::optional<Rgba>>("shown");
        QTest::newRow("calibrated rgb")
            << color(1, {1, 0.5f, 0.25f, 1}) << std::optional(Rgba{1, 0.5f, 0.25f, 1});
        QTest::newRow("device rgb") << color(2, {0.2f, 0.4f, 0.6f, 0.8f})
                                    << std::optional(Rgba{0.2f, 0.4f, 0.6f, 0.8f});
        QTest::newRow("calibrated white") << color(3, {0.5f, 1}) << std::optional(Rgba{0.5f, 0.5f, 0.5f, 1});
        QTest::newRow("device white") << color(4, {0, 0.5f}) << std::optional(Rgba{0, 0, 0, 0.5f});
        QTest::newRow("cmyk") << color(5, {0.1f, 0.2f, 0.3f, 0.4f, 1})
                              << std::optional(Rgba{0.9f * 0.6f, 0.8f * 0.6f, 0.7f * 0.6f, 1});
        QTest::newRow("out of range") << color(1, {2, -1, NAN, 1}) << std::optional(Rgba{1, 0, 0, 1});
        QTest::newRow("named") << named(std::make_shared<Color>(color(4, {0, 1})))
                               << std::optional(Rgba{0, 0, 0, 1});
        QTest::newRow("named twice") << named(std::make_shared<Color>(
                                            named(std::make_shared<Color>(color(3, {1, 1})))))
                                     << std::optional(Rgba{1, 1, 1, 1});
        QTest::newRow("named, no fallback") << named(nullptr) << std::optional<Rgba>();
        QTest::newRow("too few components") << color(1, {1, 0, 0}) << std::optional<Rgba>();
        QTest::newRow("unknown space") << color(9, {1, 1, 1, 1}) << std::optional<Rgba>();
    }
    void everySpaceGivesItsRgba() {
        QFETCH(Color, stored);
        QFETCH(std::optional<Rgba>, shown);
        const std::optional<Rgba> rgba = rgbaFromColor(stored);
        QCOMPARE(rgba.has_value(), shown.has_value());
        if (shown)
            QVERIFY(near(*rgba, *shown));
    }

    void endlessFallbackChainsEnd() {
        auto chain = std::make_shared<Color>(named(nullptr));
        for (int i = 0; i < 100; ++i)
            chain = std::make_shared<Color>(named(chain));
        chain->fallback->fallback->fallback = std::make_shared<Color>(color(3, {1, 1}));
        QVERIFY(rgbaFromColor(*chain));
        auto deep = std::make_shared<Color>(color(3, {1, 1}));
        for (int i = 0; i < 100; ++i)
            deep = std::make_shared<Color>(named(deep));
        QVERIFY(!rgbaFromColor(*deep));
    }

    void readsAndWritesArchivedColours() {
        SKIP_WITHOUT_SAMPLES();
        const auto read = [](const char* name) {
            QFile file(constructedSamples() + QLatin1String(name));
            return file.open(QIODevice::ReadOnly) ? rgbaFromColorData(file.readAll()) : std::nullopt;
        };
        QCOMPARE(read("NSColor_calibratedRGB_1_0.5_0.25_1"), (Rgba{1, 0.5f, 0.25f, 1}));
        QVERIFY(near(*read("NSColor_deviceRGB_0.2_0.4_0.6_0.8"), Rgba{0.2f, 0.4f, 0.6f, 0.8f}));
        QCOMPARE(read("NSColor_calibratedWhite_0.5_1"), (Rgba{0.5f, 0.5f, 0.5f, 1}));
        QCOMPARE(read("NSColor_deviceWhite_0_1"), (Rgba{0, 0, 0, 1}));
        QVERIFY(near(*read("NSColor_deviceCMYK_0.1_0.2_0.3_0.4_1"), Rgba{0.54f, 0.48f, 0.42f, 1}));
        QCOMPARE(read("NSColor_named_System_textColor"), (Rgba{0, 0, 0, 1}));
        QVERIFY(!read("NSTimeZone_America_New_York"));

        QFile calibrated(constructedSamples() + QStringLiteral("NSColor_calibratedRGB_1_0.5_0.25_1"));
        QVERIFY(calibrated.open(QIODevice::ReadOnly));
        QCOMPARE(colorDataFromRgba({1, 0.5f, 0.25f, 1}), calibrated.readAll());
        QCOMPARE(rgbaFromColorData(colorDataFromRgba({0.1f, 0.7f, 0.3f, 0.9f})),
                 (Rgba{0.1f, 0.7f, 0.3f, 0.9f}));
        QVERIFY(!rgbaFromColorData("not an archive"));
    }
};

QTEST_GUILESS_MAIN(TestColorValue)
#include "tst_color_value.moc"
