// Sticky notes on the desktop, offscreen: what a note shows of its item and how it follows it, what
// its buttons do, and that notes open at quit come back at the next start.

#include "gui_test_support.h"

#include "archive/color_value.h"
#include "archive/list_file.h"
#include "desktop_app/tardigo_application.h"
#include "dialogs/dialog_service.h"
#include "dialogs/message_box_host.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "rich_text/notes_text.h"
#include "stickies/gui/sticky_board.h"
#include "stickies/gui/sticky_window.h"
#include "window/document_main_window.h"
#include "window/document_menus.h"
#include "window/outline_tree_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QTimer>
#include <QWindow>

using namespace tardigo;
using namespace tardigo::test;

namespace {

// Notes with a bold word and a bulleted list.
QByteArray formattedNotes() {
    TextRun plain, bold, item;
    plain.text = QStringLiteral("Ask about ");
    bold.text = QStringLiteral("the tap\n");
    bold.bold = true;
    item.text = QStringLiteral("kitchen\nbathroom");
    item.list = {1, 0, ListStyle::Disc};
    return encodeNotes(RichText::fromRuns({plain, bold, item}));
}

QString titleOf(const StickyWindow& note) {
    return note.findChild<QLabel*>("stickyTitle")->text();
}

QTextEdit* textOf(const StickyWindow& note) {
    return note.findChild<QTextEdit*>("stickyText");
}

void screenshot(QWidget& widget, const QString& name) {
    if (const QByteArray folder = qgetenv("TARDIGO_SCREENSHOTS"); !folder.isEmpty())
        widget.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(name + ".png"));
}

} // namespace

class TestStickies : public QObject {
    Q_OBJECT

    QTemporaryDir _files;

    QString path(const QString& name) const { return _files.filePath(name); }

    QString writeList(const QString& name, const std::vector<NodePtr>& items) {
        const NodePtr root = newListRoot();
        for (const NodePtr& one : items)
            childrenOf(*root)->items.push_back(one);
        const QString file = path(name);
        return writeListFile(file, root).isEmpty() ? file : QString();
    }

    // Opens the list in the application and makes a note of its first item.
    StickyWindow* stickyOfFirstItem(TardigoApplication& application, const QString& list) {
        DocumentMainWindow* window = application.controller().openFile(list);
        if (!window)
            return nullptr;
        selectShown(window->outline(), {rowNames(window->outline()).constFirst()});
        window->validate();
        window->menus().actions().makeSticky->trigger();
        const std::vector<StickyNote>& notes = application.stickies().notes();
        return notes.empty() ? nullptr : application.stickies().windowOf(notes.back().id);
    }

private slots:
    void initTestCase() { setUpGuiTest(); }

    void aNoteShowsItsItemAndFollowsIt() {
        NodePtr plumber = item("Call the plumber");
        plumber->set(key::notes, Value::data(formattedNotes()));
        plumber->set(key::fontName, "DejaVuSerif");
        plumber->set(key::fontSize, Value::integer(15));
        plumber->set(key::color, Value::data(colorDataFromRgba({0.1f, 0.3f, 0.8f, 1})));
        const QString list = writeList("follow.todo", {plumber, item("Other")});
        TardigoApplication application(nullptr, path("follow.json"), TodoLocator("/bin/false", {}));
        StickyWindow* note = stickyOfFirstItem(application, list);
        QVERIFY(note);
        QVERIFY(QTest::qWaitForWindowExposed(note));

        // The name and the notes with their formatting, in the item's font; the text follows the item,
        // so it takes no typing.
        QCOMPARE(titleOf(*note), QStringLiteral("Call the plumber"));
        QCOMPARE(note->findChild<QLabel*>("stickyTitle")->font().pointSize(), 15);
        QTextEdit* text = textOf(*note);
        QVERIFY(text->isReadOnly());
        QCOMPARE(text->toPlainText(), QStringLiteral("Ask about the tap\nkitchen\nbathroom"));
        QCOMPARE(text->document()->defaultFont().pointSize(), 15);
        QTextBlock kitchen = text->document()->findBlockByNumber(1);
        QVERIFY(kitchen.textList());
        QCOMPARE(kitchen.textList()->count(), 2);
        QTextBlock::iterator first = text->document()->begin().begin();
        QVERIFY(!first.fragment().charFormat().font().bold());
        QCOMPARE((++first).fragment().text(), QStringLiteral("the tap"));
        QVERIFY(first.fragment().charFormat().font().bold());
        note->resize(280, 170);
        screenshot(*note, "sticky");

        // A change of the item reaches the note, which keeps it for the next start.
        TardigoDocument& document = application.controller().windows().front()->document();
        const NodePtr shown = findItem(*document.data(), "Call the plumber");
        document.setCellValue(CellValue(Value(QStringLiteral("Call the plumber today"))), Column::Name,
                              shown);
        QTRY_COMPARE(titleOf(*note), QStringLiteral("Call the plumber today"));
        application.stickies().save();
        QCOMPARE(StickyStore(path("follow.json")).load().front().title,
                 QStringLiteral("Call the plumber today"));

        // Deleting the item leaves the note as it was; undoing the deletion brings the item back to it.
        OutlineTreeView& outline = application.controller().windows().front()->outline();
        selectShown(outline, {rowNames(outline).constFirst()});
        document.itemCommands().deleteItem();
        QCOMPARE(childrenOf(*document.data())->size(), size_t(1));
        document.undoStack().undo();
        document.setCellValue(CellValue(Value(QStringLiteral("Plumber called"))), Column::Name, shown);
        QTRY_COMPARE(titleOf(*note), QStringLiteral("Plumber called"));
        application.controller().windows().front()->setChangesReviewed();
    }

    void aNoteOpenAtQuitComesBackAndFindsItsItem() {
        const QString list = writeList("quit.todo", {item("Water the plants"), item("Other")});
        const QString store = path("quit.json");
        QString id;
        {
            TardigoApplication application(nullptr, store, TodoLocator("/bin/false", {}));
            StickyWindow* note = stickyOfFirstItem(application, list);
            QVERIFY(note);
            id = note->id();
            // Quitting closes every window, the notes too; they stay open for the next start.
            QTimer::singleShot(0, &application, [&application] { application.controller().quit(); });
            QApplication::exec();
        }
        const std::vector<StickyNote> kept = StickyStore(store).load();
        QCOMPARE(kept.size(), size_t(1));
        QVERIFY(kept.front().open);

        TardigoApplication application(nullptr, store, TodoLocator("/bin/false", {}));
        StickyWindow* note = application.stickies().windowOf(id);
        QVERIFY(note);
        QCOMPARE(titleOf(*note), QStringLiteral("Water the plants"));
        // Once its list is open again, the note follows its item.
        DocumentMainWindow* window = application.controller().openFile(list);
        QVERIFY(window);
        const NodePtr plants = findItem(*window->document().data(), "Water the plants");
        window->document().setCellValue(CellValue(Value(QStringLiteral("Water the garden"))), Column::Name,
                                        plants);
        QTRY_COMPARE(titleOf(*note), QStringLiteral("Water the garden"));
        window->setChangesReviewed();
    }

    void hidingKeepsANoteAndDeletingAsksFirst() {
        const QString store = path("buttons.json");
        NodePtr bills = item("Pay the bills");
        NodePtr root = newListRoot();
        childrenOf(*root)->items.push_back(bills);
        TardigoDocument document;
        QString id;
        {
            StickyBoard board(store);
            board.add(document, {bills});
            id = board.notes().front().id;
            StickyWindow* note = board.windowOf(id);
            QVERIFY(QTest::qWaitForWindowExposed(note));
            auto* hide = note->findChild<QAbstractButton*>("stickyClose");
            auto* remove = note->findChild<QAbstractButton*>("stickyDelete");
            QCOMPARE(hide->text(), QStringLiteral("\u00D7"));
            QCOMPARE(hide->accessibleName(), QStringLiteral("Hide the note"));
            QVERIFY(hide->toolTip().contains(
                QKeySequence(QKeySequence::Close).toString(QKeySequence::NativeText)));
            QCOMPARE(remove->accessibleName(), QStringLiteral("Delete the note"));
            note->setGeometry(QRect(300, 200, 260, 180));
            hide->click();
            QVERIFY(!board.windowOf(id));
            QCOMPARE(board.notes().size(), size_t(1));
        }
        StickyBoard board(store);
        QVERIFY(!board.windowOf(id)); // hidden stays hidden
        board.showAll();
        StickyWindow* note = board.windowOf(id);
        QVERIFY(note);
        QCOMPARE(note->geometry(), QRect(300, 200, 260, 180));

        DialogService::queueAnswer(QMessageBox::Cancel);
        note->findChild<QAbstractButton*>("stickyDelete")->click();
        QVERIFY(
            DialogService::takeShownTexts().join('\n').contains("Delete the sticky note “Pay the bills”?"));
        QCOMPARE(board.notes().size(), size_t(1));
        DialogService::queueAnswer(QMessageBox::Yes);
        board.windowOf(id)->findChild<QAbstractButton*>("stickyDelete")->click();
        QVERIFY(board.notes().empty());
        QVERIFY(StickyBoard(store).notes().empty());
    }

    // A note stays above other windows, but goes below a dialog that waits for an answer while it
    // shows, so that it hides none of the question; it is above them again after.
    void aNoteGoesBelowAQuestion() {
        NodePtr bills = item("Pay the bills");
        TardigoDocument document;
        StickyBoard board(path("questions.json"));
        board.add(document, {bills});
        StickyWindow* note = board.windowOf(board.notes().front().id);
        QVERIFY(QTest::qWaitForWindowExposed(note));
        const auto above = [&] { return note->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint); };
        QVERIFY(above());

        QWidget list;
        list.show();
        auto* messages = new MessageBoxHost(&list);
        Message notice;
        notice.title = QStringLiteral("Past date due: Pay the bills");
        messages->open(notice, {});
        QTRY_VERIFY(!above());
        QVERIFY(note->isVisible());
        list.findChild<QMessageBox*>("messageBox")->buttons().constFirst()->click();
        QTRY_VERIFY(above());
    }

    void aNoteOfEarlierVersionsKeepsItsOwnText() {
        // Written before notes showed items: a text of its own, which the user may go on editing.
        const QString store = path("earlier.json");
        QFile file(store);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"version": 1, "notes": [{"id": "n1", "title": "Old", "text": "typed here",
                      "color": null, "open": true, "frame": [10, 20, 200, 150]}]})");
        file.close();
        {
            StickyBoard board(store);
            StickyWindow* note = board.windowOf("n1");
            QVERIFY(note);
            QTextEdit* text = textOf(*note);
            QVERIFY(!text->isReadOnly());
            QCOMPARE(text->toPlainText(), QStringLiteral("typed here"));
            text->moveCursor(QTextCursor::End);
            QTest::keyClicks(text, " and there");
        }
        QCOMPARE(StickyStore(store).load().front().text, QStringLiteral("typed here and there"));
    }

    void aStoreTooLargeToReadIsSetAside() {
        const QString store = path("large.json");
        QFile file(store);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(StickyStore::kLargestFile + 1));
        file.close();
        QVERIFY(StickyStore(store).load().empty());
        QVERIFY(!QFile::exists(store));
        QCOMPARE(QFileInfo(store + ".unreadable").size(), StickyStore::kLargestFile + 1);
    }
};

QTEST_MAIN(TestStickies)
#include "tst_stickies.moc"
