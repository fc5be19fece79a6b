#include "archive/color_value.h"
#include "document_fixture.h"
#include "print/core/print_layout.h"
#include "print/core/print_page.h"

#include <QTest>

#include <set>

using namespace tardigo;
using namespace tardigo::test;

namespace {

const Value yes = Value::boolean(true);
const PrintOptions allOptions{true, true, true};
const PrintOptions textOnly{false, false, false};

/// The printout of what the window shows, the items of `open` open and every other branch closed.
std::vector<PrintItem> layoutOf(OpenList& list, PrintOptions options,
                                const std::set<const Dict*>& open = {}) {
    return PrintLayout(
               list.model(), list.document.outlineSettings().columns(),
               [&open](const Dict& item) { return open.contains(&item); }, options, IconRules::current())
        .doLayout();
}

// The printout as a reader sees it: images as [name] in their columns, an empty column as [], notes
// as {text}.
QString transcript(OpenList& list, PrintOptions options, const std::set<const Dict*>& open = {}) {
    QString text;
    for (const PrintItem& item : layoutOf(list, options, open)) {
        text += QString(item.depth, u'>');
        if (options.checkboxes)
            text += u'[' + item.checkbox + u']';
        if (options.icons)
            text += u'[' + item.icon + u']';
        text += item.name;
        if (!item.name.isEmpty() && !item.details.isEmpty())
            text += kPrintDetailsSeparator;
        text += item.details.join(u' ') + u'\n';
        if (item.notes)
            text += u'{' + item.notes->readableText() + QStringLiteral("}\n");
    }
    return text;
}

void assignIconConditions(std::initializer_list<std::pair<QString, int>> conditions) {
    const DictPtr dict = Dict::create(false);
    for (const auto& [icon, status] : conditions)
        dict->set(icon, Value::integer(status));
    Settings::instance().setIconConditions(dict);
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
        Settings& settings = Settings::instance();
        settings.setShortDateFormat("yyyy-MM-dd");
        settings.setTimeFormat("HH:mm");
    }
    void cleanup() { _start.reset(); }

    void itemLineFollowsTheColumnsAndOptions() {
        // The check box and the icon differ only when no icon is given to completed items.
        assignIconConditions({{"vk_heart", IconStatusDefault}});
        OpenList list({makeItem(
            "Taxes",
            {{key::category, "Home"}, {key::completion, yes}, {key::due, "2024-03-12 09:30:00 +0100"}})});
        QCOMPARE(transcript(list, allOptions),
                 "[vk_notdone][vk_heart]Taxes \u2014 Home; 100% complete; due: 2024-03-12 09:30;\n");
        QCOMPARE(transcript(list, textOnly), "Taxes \u2014 Home; 100% complete; due: 2024-03-12 09:30;\n");

        // Only the texts of the columns the outline shows.
        list.document.outlineSettings().removeColumn(Column::Completion);
        QCOMPARE(transcript(list, textOnly), "Taxes \u2014 Home; due: 2024-03-12 09:30;\n");
        list.document.outlineSettings().removeColumn(Column::Category);
        list.document.outlineSettings().removeColumn(Column::Due);
        QCOMPARE(transcript(list, textOnly), "Taxes\n");
    }

    void everyItemKeepsItsBoxAndItsIconsPlace() {
        // By default a completed item's icon is the check mark its box shows: the box prints, the
        // icon's place stays blank, so that the name starts where every other name does.
        OpenList list({makeItem("Done", {{key::completion, yes}}), makeItem("Open"),
                       makeItem("Starred", {{key::icon, "vk_heart"}, {key::thisIconOnly, yes}})});
        list.document.outlineSettings().removeColumn(Column::Completion);
        QCOMPARE(transcript(list, allOptions),
                 "[vk_check6][]Done\n[vk_notdone][]Open\n[vk_notdone][vk_heart]Starred\n");
        QCOMPARE(transcript(list, {true, false, false}),
                 "[vk_check6]Done\n[vk_notdone]Open\n[vk_notdone]Starred\n");
        // Without icon rules an item shows no icon, and only its place prints.
        assignIconConditions({});
        QCOMPARE(transcript(list, {false, true, false}), "[]Done\n[]Open\n[vk_heart]Starred\n");
        QCOMPARE(transcript(list, {true, false, false}),
                 "[vk_notdone]Done\n[vk_notdone]Open\n[vk_notdone]Starred\n");
    }

    void missingTextsLeaveNothingBehind() {
        OpenList list({makeItem("", {{key::category, "Home"}}), makeItem("Undated", {{key::due, "soon"}})});
        list.document.outlineSettings().removeColumn(Column::Completion);
        // A nameless item prints its other texts; an unreadable date is none.
        QCOMPARE(transcript(list, textOnly), "Home;\nUndated\n");
    }

    void printsWhatTheOutlineShows() {
        NodePtr parent = makeItem("Parent"), done = makeItem("Done", {{key::completion, yes}});
        NodePtr child = makeItem("Child");
        appendChild(*parent, child);
        appendChild(*child, makeItem("Grandchild"));
        OpenList list({parent, done});
        list.document.outlineSettings().removeColumn(Column::Completion);

        QCOMPARE(transcript(list, textOnly), "Parent\nDone\n");
        QCOMPARE(transcript(list, textOnly, {parent.get()}), "Parent\n>Child\nDone\n");
        QCOMPARE(transcript(list, textOnly, {child.get()}), "Parent\nDone\n"); // inside a closed one
        QCOMPARE(transcript(list, textOnly, {parent.get(), child.get()}),
                 "Parent\n>Child\n>>Grandchild\nDone\n");
        // Without a window every branch prints open.
        QCOMPARE(PrintLayout(list.model(), list.document.outlineSettings().columns(), {}, textOnly,
                             IconRules::current())
                     .doLayout()
                     .size(),
                 size_t(4));

        list.document.outlineCommands().toggleHideCompletedItems(true);
        QCOMPARE(transcript(list, textOnly, {parent.get(), child.get()}), "Parent\n>Child\n>>Grandchild\n");
        // A branch whose children are all hidden has nothing to show open.
        child->set(key::completion, yes);
        list.document.refreshItem(child, key::completion, false);
        QCOMPARE(transcript(list, textOnly, {parent.get(), child.get()}), "Parent\n");
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
        list.document.outlineSettings().removeColumn(Column::Completion);
        list.document.outlineSettings().removeColumn(Column::Due);

        QCOMPARE(transcript(list, {false, false, true}),
                 "Errand \u2014 Home;\n{Bring the receipts}\nBlank\nBroken\n");
        QCOMPARE(transcript(list, textOnly), "Errand \u2014 Home;\nBlank\nBroken\n");
        const std::vector<PrintItem> items = layoutOf(list, {false, false, true});
        QVERIFY(items.front().notes);
        QCOMPARE(items.front().notes->runs.front().fontFamily, "Courier");
        QVERIFY(items.front().notes->runs.front().bold);
    }

    void notesPrintInTheListsTextSize() {
        // The size of most of the text becomes the list's; a heading stays as much larger.
        TextRun heading, body, small;
        heading.text = "Plan\n";
        heading.fontSize = 24;
        body.text = "the body of the notes, long enough to be most of them\n";
        body.fontSize = 12;
        small.text = "fine print";
        small.fontSize = 9;
        const RichText sized = notesInTextSize(RichText::fromRuns({heading, body, small}), 10);
        QCOMPARE(sized.runs[0].fontSize, 20.0);
        QCOMPARE(sized.runs[1].fontSize, 10.0);
        QCOMPARE(sized.runs[2].fontSize, 7.5);
        QCOMPARE(sized.plainText, RichText::fromRuns({heading, body, small}).plainText);
    }

    void itemTextsCarryTheItemsFontAndColour() {
        NodePtr item = errand();
        item->set(key::fontName, "Courier-Bold");
        item->set(key::fontSize, Value::integer(14));
        item->set(key::color, Value::data(colorDataFromRgba({1, 0, 0, 1})));
        OpenList list({item, makeItem("Plain")});
        const std::vector<PrintItem> items = layoutOf(list, allOptions);
        QCOMPARE(items.size(), size_t(2));
        QVERIFY(items[0].style == (PrintTextStyle{ItemFont{QString("Courier-Bold"), 14}, Rgba{1, 0, 0, 1}}));
        QVERIFY(items[1].style == (PrintTextStyle{ItemFont{}, Rgba{0, 0, 0, 1}}));
        QCOMPARE(items[1].details, QStringList{"0% complete;"});
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
