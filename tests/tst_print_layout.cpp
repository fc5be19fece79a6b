#include "archive/color_value.h"
#include "document_fixture.h"
#include "print/print_layout.h"
#include "print/print_page.h"

#include <QTest>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const Value yes = Value::boolean(true);
const PrintOptions allOptions{true, true, true};
const PrintOptions textOnly{false, false, false};

std::vector<PrintRun> layoutOf(OpenList& list, PrintOptions options) {
    return PrintLayout(list.document, list.outline(), options, IconRules::current()).doLayout();
}

// The printout as a reader sees it: images as [name], notes as {text}.
QString transcript(const std::vector<PrintRun>& runs) {
    QString text;
    for (const PrintRun& run : runs) {
        switch (run.kind) {
        case PrintRun::Kind::Text:
            text += run.text;
            break;
        case PrintRun::Kind::Image:
            text += u'[' + run.imageName + u']';
            break;
        case PrintRun::Kind::Notes:
            text += u'{' + run.notes.readableText() + u'}';
            break;
        }
    }
    return text;
}

QString transcript(OpenList& list, PrintOptions options) {
    return transcript(layoutOf(list, options));
}

void assignIconConditions(std::initializer_list<std::pair<QString, int>> conditions) {
    const DictPtr dict = Dict::create(false);
    for (const auto& [icon, status] : conditions)
        dict->set(icon, Value::integer(status));
    UserDefaults::standard().setObject(pref::todoItemIconConditions, dict);
}

NodePtr errand() {
    return makeItem("Errand", {{key::category, "Home"},
                               {key::completion, Value::float32(0.25)},
                               {key::due, "2024-03-12 09:30:00 +0100"}});
}

} // namespace

class TestPrintLayout : public QObject {
    Q_OBJECT
    std::optional<DocumentTestStart> _start;

private slots:
    void init() {
        _start.emplace();
        UserDefaults& defaults = UserDefaults::standard();
        defaults.setObject(pref::userShortDateFormat, "yyyy-MM-dd");
        defaults.setObject(pref::userTimeFormat, "HH:mm");
    }
    void cleanup() { _start.reset(); }

    void itemLineFollowsTheColumnsAndOptions() {
        // The check box and the icon differ only when no icon is given to completed items.
        assignIconConditions({{"vk_heart", IconStatusDefault}});
        OpenList list({makeItem(
            "Taxes",
            {{key::category, "Home"}, {key::completion, yes}, {key::due, "2024-03-12 09:30:00 +0100"}})});
        QCOMPARE(transcript(list, allOptions),
                 "[vk_notdone][vk_heart]\tTaxes \tHome; 100% complete; due: 2024-03-12 09:30; \n");
        QCOMPARE(transcript(list, textOnly), "Taxes \tHome; 100% complete; due: 2024-03-12 09:30; \n");

        // Only the texts of the columns the outline shows.
        list.outline().removeTableColumn(key::completion);
        QCOMPARE(transcript(list, textOnly), "Taxes \tHome; due: 2024-03-12 09:30; \n");
        list.outline().removeTableColumn(key::category);
        list.outline().removeTableColumn(key::due);
        QCOMPARE(transcript(list, textOnly), "Taxes \t\n");
    }

    void missingTextsLeaveTheirPlace() {
        OpenList list({makeItem("", {{key::category, "Home"}}), makeItem("Undated", {{key::due, "soon"}})});
        list.outline().removeTableColumn(key::completion);
        // A nameless item keeps its tab, so that its category lines up; an unreadable date is none.
        QCOMPARE(transcript(list, textOnly), "\tHome; \nUndated \t\n");
    }

    void imagePrintsOnceWhenTheIconIsTheCheckBox() {
        // By default a completed item shows the same check mark that its check box shows.
        OpenList list({makeItem("Done", {{key::completion, yes}}), makeItem("Open")});
        list.outline().removeTableColumn(key::completion);
        QCOMPARE(transcript(list, allOptions), "[vk_check6]\tDone \t\n[vk_notdone]\tOpen \t\n");
        QCOMPARE(transcript(list, {true, false, false}), "[vk_check6]Done \t\n[vk_notdone]Open \t\n");
        assignIconConditions({});
        QCOMPARE(transcript(list, {true, false, false}), "[vk_notdone]Done \t\n[vk_notdone]Open \t\n");
    }

    void printsWhatTheOutlineShows() {
        NodePtr parent = makeItem("Parent"), done = makeItem("Done", {{key::completion, yes}});
        NodePtr child = makeItem("Child");
        appendChild(*parent, child);
        appendChild(*child, makeItem("Grandchild"));
        OpenList list({parent, done});
        list.outline().removeTableColumn(key::completion);

        QCOMPARE(transcript(list, textOnly), "Parent \t\nDone \t\n");
        list.outline().expandItem(parent, false);
        QCOMPARE(transcript(list, textOnly), "Parent \t\n\tChild \t\nDone \t\n");
        list.outline().expandItem(child, false);
        QCOMPARE(transcript(list, textOnly), "Parent \t\n\tChild \t\n\t\tGrandchild \t\nDone \t\n");

        list.document.outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(transcript(list, textOnly), "Parent \t\n\tChild \t\n\t\tGrandchild \t\n");
        // A branch whose children are all hidden has nothing to expand: it prints as it is.
        child->set(key::completion, yes);
        list.document.updateUI();
        list.outline().collapseItem(parent, false);
        QCOMPARE(transcript(list, textOnly), "Parent \t\n");
    }

    void notesFollowTheirItemWithTheirOwnFonts() {
        NodePtr item = errand();
        TextRun bold;
        bold.text = "Bring the receipts";
        bold.fontFamily = "Courier";
        bold.fontSize = 18;
        bold.bold = true;
        item->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({bold}))));
        OpenList list({item, makeItem("Blank", {{key::notes, notesData("")}}),
                       makeItem("Broken", {{key::notes, Value::data("not rtfd")}})});
        list.outline().removeTableColumn(key::completion);
        list.outline().removeTableColumn(key::due);

        QCOMPARE(transcript(list, {false, false, true}),
                 "Errand \tHome; \n{Bring the receipts}\nBlank \t\nBroken \t\n");
        QCOMPARE(transcript(list, textOnly), "Errand \tHome; \nBlank \t\nBroken \t\n");
        const std::vector<PrintRun> runs = layoutOf(list, {false, false, true});
        const auto notes = std::find_if(
            runs.begin(), runs.end(), [](const PrintRun& run) { return run.kind == PrintRun::Kind::Notes; });
        QVERIFY(notes != runs.end());
        QCOMPARE(notes->notes.runs.front().fontFamily, "Courier");
        QVERIFY(notes->notes.runs.front().bold);
    }

    void itemTextsCarryTheItemsFontAndColour() {
        NodePtr item = errand();
        item->set(key::fontName, "Courier-Bold");
        item->set(key::fontSize, Value::integer(14));
        item->set(key::color, Value::data(colorDataFromRgba({1, 0, 0, 1})));
        OpenList list({item, makeItem("Plain")});

        const auto styledRuns = [&](PrintOptions options) {
            std::vector<PrintRun> styled;
            for (const PrintRun& run : layoutOf(list, options))
                if (run.kind == PrintRun::Kind::Text && run.style)
                    styled.push_back(run);
            return styled;
        };
        // Indents, separating spaces and line breaks carry no attributes.
        for (const PrintRun& run : layoutOf(list, textOnly))
            QVERIFY(run.style || run.text.trimmed().isEmpty());
        std::vector<PrintRun> styled = styledRuns(textOnly);
        // The first item's name, category, completion and due date; the second's name and completion.
        QCOMPARE(styled.size(), size_t(6));
        const PrintTextStyle own{ItemFont{QString("Courier-Bold"), 14}, Rgba{1, 0, 0, 1}, 0.0};
        for (size_t i = 0; i < 4; ++i)
            QVERIFY(styled[i].style == own);
        QCOMPARE(styled[4].text, "Plain");
        QCOMPARE(styled[5].text, "0% complete;");
        QVERIFY(styled[4].style == (PrintTextStyle{ItemFont{}, Rgba{0, 0, 0, 1}, 0.0}));

        // Beside images the texts are lifted to their level.
        for (const PrintRun& run : styledRuns({false, true, false}))
            QCOMPARE(run.style->baselineOffset, 5.0);
    }

    void pageMarginsAndFooter() {
        const PrintMargins letter = printMarginsForPaperWidth(612);
        QCOMPARE(letter.left, 30.6);
        QCOMPARE(letter.right, 30.6);
        QCOMPARE(letter.bottom, 30.6);
        QCOMPARE(letter.top, 48.96);
        QCOMPARE(pageFooterText(3, "Errands.todo"), "page 3    Errands.todo    2024-03-10 12:00");
    }
};

QTEST_GUILESS_MAIN(TestPrintLayout)
#include "tst_print_layout.moc"
