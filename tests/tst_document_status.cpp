#include "document_fixture.h"
#include "platform/preference_signals.h"
#include "platform/settings.h"
#include "test_support.h"

#include <QTest>

#include <cmath>

using namespace tardigo;
using namespace tardigo::test;

class TestStatus : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

private slots:
    void init() {
        _start.emplace();
        Settings::instance().setShortDateFormat("dd.MM.yyyy");
        Settings::instance().setTimeFormat("HH:mm");
    }
    void cleanup() { _start.reset(); }

    void statusLineCountsTheWholeTree() {
        QCOMPARE(OpenList().document.display().statusText, QString());
        QCOMPARE(
            OpenList{makeItem("a", {{key::completion, Value::boolean(true)}})}.document.display().statusText,
            QStringLiteral("All items are completed."));

        const NodePtr parent = makeItem("parent");
        for (int i = 0; i < 9; ++i)
            appendChild(*parent,
                        makeItem(QString::number(i), {{key::completion, Value::float32(i < 7 ? 1.0 : 0.5)}}));
        OpenList list{parent};
        list.document.outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(list.window.statusText, QStringLiteral("3/10 outstanding")); // hidden items count too

        // Cell edits keep the count right without counting the tree again.
        list.type(list.item("8"), Column::Completion, 1.0);
        QCOMPARE(list.window.statusText, QStringLiteral("2/10 outstanding"));
        list.type(list.item("7"), Column::Name, QStringLiteral("renamed"));
        QCOMPARE(list.window.statusText, QStringLiteral("2/10 outstanding"));
        list.undo().undo(); // the edits of this event are one step
        QCOMPARE(list.window.statusText, QStringLiteral("3/10 outstanding"));

        list.document.setStatus(QStringLiteral("Tardigo Minder scanning..."));
        QCOMPARE(list.window.statusText, QStringLiteral("Tardigo Minder scanning..."));
        list.document.setStatus(std::nullopt);
        QCOMPARE(list.window.statusText, QStringLiteral("3/10 outstanding"));
    }

    void theInspectorFollowsTheSelection() {
        OpenList list{makeItem("a", {{key::color, Value::data("red")}}),
                      makeItem("b", {{key::fontName, "Serif"}, {key::fontSize, Value::float32(36.7)}})};
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("[no selection]"));
        QVERIFY(!list.document.display().toolsEnabled && !list.document.display().appearance);

        list.window.inspector.tool = InspectorToolColor;
        list.select({"b", "a"});
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("(multiple selection OK)"));
        QVERIFY(list.document.display().toolsEnabled);
        QCOMPARE(list.document.display().appearance->color, Value::data("red")); // the row selected last
        QVERIFY(!list.document.display().item);

        list.window.inspector.tool = InspectorToolNotes;
        list.document.updateUI();
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("(multiple selection)"));
        QVERIFY(!list.document.display().toolsEnabled && list.document.display().appearance);

        list.select({"b"});
        QCOMPARE(list.document.display().selectionLabel, QStringLiteral("b"));
        QCOMPARE(list.document.display().selectionFont.name, QStringLiteral("Serif"));
        QCOMPARE(list.document.display().selectionFont.pointSize, 36);
        QVERIFY(list.document.display().toolsEnabled && list.document.display().item);
    }

    void toolsShowTheSelectedItem() {
        const auto entry = [](const char* stamp, const char* message) {
            DictPtr e = Dict::create(false);
            e->set(key::timestamp, stamp);
            e->set(key::message, message);
            return Value(e);
        };
        ArrayPtr history = Array::create();
        history->items = {entry("2024-03-01 09:05:00 +0100", "item created"),
                          entry("2024-03-02 18:00:00 -0500", "set category"), // on the local clock
                          entry("yesterday", "set name")};
        const NodePtr item = makeItem(
            "rent",
            {{key::completion, Value::float32(0.256)}, {key::history, history}, {key::icon, "vk_heart"}});
        OpenList list({item}, [](Dict& root) { root.set(key::panelInspector, Value::boolean(true)); });
        list.select({"rent"});
        QCOMPARE(list.document.display().item->completionLabel, QStringLiteral("25%")); // truncated
        QCOMPARE(list.document.display().item->historyText,
                 QStringLiteral("01.03.2024 09:05: item created\n03.03.2024 00:00: set category\n"
                                "yesterday: set name\n"));
        QCOMPARE(list.document.display().appearance->selectedIconRow, 19); // in the default icon list
        QCOMPARE(list.document.display().tearOffInspectorTitle, QStringLiteral("Attach Inspector"));
        item->set(key::completion, Value::boolean(true));
        list.document.updateUI();
        QCOMPARE(list.document.display().item->completionLabel, QStringLiteral("100%"));
        QVERIFY(list.document.display().item->completedChecked);

        // A damaged completion shows as the nearer end of the scale, one that is no number as 0.
        const std::pair<double, QString> damaged[] = {
            {double(INFINITY), "100%"}, {1e300, "100%"}, {5.0, "100%"}, {-1.0, "0%"}, {double(NAN), "0%"}};
        for (const auto& [stored, label] : damaged) {
            item->set(key::completion, Value(Number::float64(stored)));
            list.document.updateUI();
            QCOMPARE(list.document.display().item->completionLabel, label);
            QVERIFY(list.document.display().item->completionSlider >= 0.0);
            QVERIFY(list.document.display().item->completionSlider <= 1.0);
        }
    }

    void preferenceChangesReachTheOpenList() {
        OpenList list{makeItem("a", {{key::category, "home"}})};
        Settings::instance().setGlobalCategories({"work"});
        QCOMPARE(list.document.categoryChoices(), QStringList{"home"});
        Settings::instance().setCategoriesLocalScope(false);
        emit PreferenceSignals::instance().preferencesChanged();
        QCOMPARE(list.document.categoryChoices(), (QStringList{"home", "work"}));
        QCOMPARE(list.window.inspector.iconTableReloads, 1);
        emit PreferenceSignals::instance().globalCategoriesRequested();
        QCOMPARE(Settings::instance().globalCategories(), (QStringList{"home", "work"}));
        list.document.close(); // a closed list hears nothing more
        emit PreferenceSignals::instance().preferencesChanged();
        QCOMPARE(list.window.inspector.iconTableReloads, 1);
    }
};

QTEST_GUILESS_MAIN(TestStatus)
#include "tst_document_status.moc"
