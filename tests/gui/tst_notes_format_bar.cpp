// The notes editor's formatting bar, offscreen: what each button does to the selection or the word
// at the cursor, lists that nest, links, pasted pictures, and that what it formats is stored.

#include "gui_test_support.h"

#include "appearance/readable_color.h"
#include "appearance/rich_text_document.h"
#include "archive/list_file.h"
#include "desktop_app/document_controller.h"
#include "document/tardigo_document.h"
#include "inspector/notes_format_bar.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "rich_text/notes_text.h"
#include "window/document_main_window.h"
#include "window/inspector_dock_widget.h"
#include "window/outline_tree_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>
#include <QToolButton>

using namespace tardigo;
using namespace tardigo::test;

namespace {

QTextCharFormat formatAt(const QTextEdit& editor, int position) {
    QTextCursor cursor(editor.document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

void placeCursor(QTextEdit& editor, int position, int anchor = -1) {
    QTextCursor cursor(editor.document());
    cursor.setPosition(anchor < 0 ? position : anchor);
    if (anchor >= 0)
        cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

} // namespace

class TestNotesFormatBar : public QObject {
    Q_OBJECT

    QTemporaryDir _files;
    std::unique_ptr<QTextEdit> _editor;
    NotesFormatBar* _bar = nullptr;

    QAction* command(const char* name) const { return _bar->findChild<QAction*>(QLatin1String(name)); }

private slots:
    void initTestCase() { setUpGuiTest(); }

    void init() {
        _editor = std::make_unique<QTextEdit>();
        _bar = new NotesFormatBar(*_editor, _editor.get());
        _bar->askForLink = [](const QString&) { return std::optional<QString>(); };
        _bar->askForColor = [](const QColor&) { return std::optional<QColor>(); };
    }
    void cleanup() { _editor.reset(); }

    void everyButtonNamesItselfAndItsKeys_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QKeySequence>("keys");
        QTest::newRow("bold") << "notesBold"
                              << "Bold" << QKeySequence(QKeySequence::Bold);
        QTest::newRow("italic") << "notesItalic"
                                << "Italic" << QKeySequence(QKeySequence::Italic);
        QTest::newRow("underline") << "notesUnderline"
                                   << "Underline" << QKeySequence(QKeySequence::Underline);
        QTest::newRow("strike") << "notesStrikethrough"
                                << "Strikethrough" << QKeySequence("Ctrl+Shift+X");
        QTest::newRow("bullets") << "notesBulletList"
                                 << "Bulleted List" << QKeySequence("Ctrl+Shift+8");
        QTest::newRow("numbers") << "notesNumberedList"
                                 << "Numbered List" << QKeySequence("Ctrl+Shift+7");
        QTest::newRow("link") << "notesLink"
                              << "Link" << QKeySequence("Ctrl+K");
        QTest::newRow("colour") << "notesTextColor"
                                << "Text Colour" << QKeySequence("Ctrl+Shift+C");
        QTest::newRow("clear") << "notesClearFormatting"
                               << "Clear Formatting" << QKeySequence("Ctrl+\\");
    }
    void everyButtonNamesItselfAndItsKeys() {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QKeySequence, keys);
        auto* control = _bar->findChild<QToolButton*>(button);
        QVERIFY(control);
        QCOMPARE(control->accessibleName(), name);
        QVERIFY2(control->toolTip().contains(keys.toString(QKeySequence::NativeText)),
                 qPrintable(control->toolTip()));
        QVERIFY(control->focusPolicy() & Qt::TabFocus);
    }

    void theBarsKeysWorkInTheEditor() {
        _editor->setPlainText("call the plumber");
        _editor->show();
        _editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(_editor.get()));
        _editor->setFocus();
        placeCursor(*_editor, 7); // "the"
        int linkAsked = 0, colourAsked = 0;
        _bar->askForLink = [&](const QString&) {
            ++linkAsked;
            return std::optional<QString>();
        };
        _bar->askForColor = [&](const QColor&) {
            ++colourAsked;
            return std::optional<QColor>();
        };
        QTest::keySequence(_editor.get(), QKeySequence("Ctrl+Shift+X"));
        QVERIFY(formatAt(*_editor, 6).fontStrikeOut());
        QTest::keySequence(_editor.get(), QKeySequence("Ctrl+K"));
        QCOMPARE(linkAsked, 1);
        QCOMPARE(_editor->toPlainText(), QStringLiteral("call the plumber")); // nothing deleted
        QTest::keySequence(_editor.get(), QKeySequence("Ctrl+Shift+C"));
        QCOMPARE(colourAsked, 1);
        QTest::keySequence(_editor.get(), QKeySequence("Ctrl+\\"));
        QVERIFY(!formatAt(*_editor, 6).fontStrikeOut());
        QTest::keySequence(_editor.get(), QKeySequence("Ctrl+Shift+8"));
        QVERIFY(_editor->document()->begin().textList());
        QTest::keySequence(_editor.get(), QKeySequence("Ctrl+Shift+7"));
        QCOMPARE(_editor->document()->begin().textList()->format().style(), QTextListFormat::ListDecimal);
    }

    void formatsTheSelectionOrTheWordAtTheCursor() {
        _editor->setPlainText("buy fresh milk");
        placeCursor(*_editor, 6); // inside "fresh"
        command("notesBold")->trigger();
        QVERIFY(formatAt(*_editor, 4).font().bold());
        QVERIFY(!formatAt(*_editor, 0).font().bold() && !formatAt(*_editor, 10).font().bold());
        placeCursor(*_editor, 6);
        QVERIFY(command("notesBold")->isChecked());
        placeCursor(*_editor, 1);
        QVERIFY(!command("notesBold")->isChecked());

        placeCursor(*_editor, 14, 10); // "milk"
        command("notesStrikethrough")->trigger();
        command("notesItalic")->trigger();
        QVERIFY(formatAt(*_editor, 11).fontStrikeOut() && formatAt(*_editor, 11).fontItalic());
        _bar->askForColor = [](const QColor&) { return std::optional<QColor>(QColor(Qt::darkGreen)); };
        command("notesTextColor")->trigger();
        QCOMPARE(formatAt(*_editor, 11).foreground().color(), QColor(Qt::darkGreen));

        // Clearing takes every character back to the notes' own font.
        placeCursor(*_editor, 14, 0);
        command("notesClearFormatting")->trigger();
        for (int position : {4, 11}) {
            const QTextCharFormat cleared = formatAt(*_editor, position);
            QVERIFY(!cleared.font().bold() && !cleared.fontItalic() && !cleared.fontStrikeOut());
            QCOMPARE(cleared.foreground().style(), Qt::NoBrush);
        }
    }

    void linksAreMadeChangedAndRemoved() {
        _editor->setPlainText("ask Anna today");
        QString asked;
        QString answer = "example.org/shop";
        _bar->askForLink = [&](const QString& current) {
            asked = current;
            return std::optional<QString>(answer);
        };
        placeCursor(*_editor, 5); // "Anna"
        command("notesLink")->trigger();
        QCOMPARE(formatAt(*_editor, 4).anchorHref(), QStringLiteral("http://example.org/shop"));
        QVERIFY(formatAt(*_editor, 4).fontUnderline());
        QVERIFY(!formatAt(*_editor, 0).isAnchor() && !formatAt(*_editor, 9).isAnchor());
        placeCursor(*_editor, 6);
        QVERIFY(command("notesLink")->isChecked());

        // Asked again, the link shows its target; a mail address gets its scheme.
        answer = "anna@example.org";
        command("notesLink")->trigger();
        QCOMPARE(asked, QStringLiteral("http://example.org/shop"));
        QCOMPARE(formatAt(*_editor, 4).anchorHref(), QStringLiteral("mailto:anna@example.org"));
        // Cancelled, nothing changes; an empty address removes the link, and its look.
        _bar->askForLink = [](const QString&) { return std::optional<QString>(); };
        command("notesLink")->trigger();
        QVERIFY(formatAt(*_editor, 4).isAnchor());
        answer.clear();
        _bar->askForLink = [&](const QString&) { return std::optional<QString>(answer); };
        command("notesLink")->trigger();
        QVERIFY(!formatAt(*_editor, 4).isAnchor());
        QVERIFY(!formatAt(*_editor, 4).fontUnderline());

        // With no word at the cursor, the address itself becomes the link.
        answer = "https://example.org/";
        placeCursor(*_editor, 14);
        _editor->textCursor().insertText(" ");
        command("notesLink")->trigger();
        QCOMPARE(_editor->toPlainText(), QStringLiteral("ask Anna today https://example.org/"));
        QCOMPARE(formatAt(*_editor, 16).anchorHref(), QStringLiteral("https://example.org/"));
    }

    // Ctrl+K with no selection links the address-like word at the cursor, whole, without the
    // sentence's punctuation around it; a selection is linked as it stands.
    void aLinkTakesTheWholeWordOrTheSelection_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("anchor"); // -1: no selection
        QTest::addColumn<QString>("linked");
        QTest::newRow("a domain") << "see example.org today" << 6 << -1 << "example.org";
        QTest::newRow("at the sentence's end") << "see example.org." << 15 << -1 << "example.org";
        QTest::newRow("in brackets") << "shop (www.example.org/a?b=1) now" << 9 << -1
                                     << "www.example.org/a?b=1";
        QTest::newRow("a mail address") << "mail anna@example.org, please" << 7 << -1 << "anna@example.org";
        QTest::newRow("a plain word") << "ask Anna today" << 5 << -1 << "Anna";
        QTest::newRow("a selection") << "see example.org today" << 21 << 4 << "example.org today";
    }
    void aLinkTakesTheWholeWordOrTheSelection() {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(int, anchor);
        QFETCH(QString, linked);
        _editor->setPlainText(text);
        _bar->askForLink = [](const QString&) { return std::optional<QString>("example.org"); };
        placeCursor(*_editor, cursor, anchor);
        command("notesLink")->trigger();
        QString anchored;
        for (int position = 0; position < text.size(); ++position)
            if (formatAt(*_editor, position).isAnchor())
                anchored += text.at(position);
        QCOMPARE(anchored, linked);
        QCOMPARE(_editor->toPlainText(), text);
    }

    void aLinkIsStoredInOneColourWhateverThePalette() {
        QPalette dark = _editor->palette();
        dark.setColor(QPalette::Base, QColor(0x1e, 0x1f, 0x22));
        _editor->setPalette(dark);
        _editor->setPlainText("ask Anna");
        _bar->askForLink = [](const QString&) { return std::optional<QString>("example.org"); };
        placeCursor(*_editor, 6);
        command("notesLink")->trigger();
        QVERIFY(contrastRatio(formatAt(*_editor, 5).foreground().color(), dark.color(QPalette::Base)) >=
                kReadableContrast);
        const RichText stored = fromTextDocument(*_editor->document());
        QCOMPARE(stored.runs.size(), size_t(2));
        QCOMPARE(stored.runs.back().link, QStringLiteral("http://example.org"));
        QVERIFY(stored.runs.back().color);
        QCOMPARE(QColor::fromRgbF(stored.runs.back().color->r, stored.runs.back().color->g,
                                  stored.runs.back().color->b),
                 QColor(0x00, 0x00, 0xee));
    }

    void listsStartNestAndEnd() {
        _editor->setPlainText("milk\nsemi-skimmed\neggs");
        placeCursor(*_editor, int(_editor->toPlainText().size()), 0);
        command("notesBulletList")->trigger();
        QTextDocument& text = *_editor->document();
        QTextList* list = text.begin().textList();
        QVERIFY(list);
        QCOMPARE(list->count(), 3);
        QCOMPARE(list->format().style(), QTextListFormat::ListDisc);

        // Tab nests an item under the one above, Shift+Tab takes it out again.
        placeCursor(*_editor, 6);
        QTest::keyClick(_editor.get(), Qt::Key_Tab);
        const QTextBlock semi = text.findBlockByNumber(1);
        QVERIFY(semi.textList() && semi.textList() != list);
        QCOMPARE(semi.textList()->format().indent(), 2);
        QCOMPARE(semi.textList()->format().style(), QTextListFormat::ListCircle);
        QCOMPARE(semi.text(), QStringLiteral("semi-skimmed")); // no tab typed
        QCOMPARE(list->itemNumber(text.findBlockByNumber(2)), 1);
        QTest::keyClick(_editor.get(), Qt::Key_Backtab);
        QCOMPARE(text.findBlockByNumber(1).textList(), list);
        QCOMPARE(list->itemNumber(text.findBlockByNumber(1)), 1);

        // Numbers instead of bullets, then no list at all.
        command("notesNumberedList")->trigger();
        QCOMPARE(list->format().style(), QTextListFormat::ListDecimal);
        QVERIFY(command("notesNumberedList")->isChecked() && !command("notesBulletList")->isChecked());
        placeCursor(*_editor, int(_editor->toPlainText().size()), 0);
        command("notesNumberedList")->trigger();
        for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
            QVERIFY(!block.textList());
            QCOMPARE(block.blockFormat().indent(), 0);
        }
        // Outside a list, Tab is a tab.
        QTest::keyClick(_editor.get(), Qt::Key_Tab);
        QVERIFY(_editor->toPlainText().contains(u'\t'));
    }

    void aPastedPictureIsKeptWithTheNotes() {
        _editor->setPlainText("see ");
        placeCursor(*_editor, 4);
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::red);
        auto* pasted = new QMimeData;
        pasted->setImageData(picture);
        QGuiApplication::clipboard()->setMimeData(pasted);
        QTest::keySequence(_editor.get(), QKeySequence::Paste);
        const RichText stored = fromTextDocument(*_editor->document());
        QCOMPARE(stored.plainText, QString("see ") + QChar(kAttachmentCharacter));
        QCOMPARE(stored.attachments.size(), size_t(1));
        QVERIFY(stored.attachments.front().first.startsWith("Pasted Graphic"));
        QCOMPARE(QImage::fromData(stored.attachments.front().second).size(), QSize(40, 30));
        QGuiApplication::clipboard()->clear();
    }

    void followsTheEditorBeingEnabled() {
        QVERIFY(_bar->isEnabled());
        _editor->setReadOnly(true);
        QVERIFY(!_bar->isEnabled());
        _editor->setReadOnly(false);
        _editor->setEnabled(false);
        QVERIFY(!_bar->isEnabled());
        _editor->setEnabled(true);
        QVERIFY(_bar->isEnabled());
    }

    void whatTheBarFormatsIsStoredWithTheItem() {
        const NodePtr root = newListRoot();
        childrenOf(*root)->items.push_back(item("Groceries"));
        const QString list = _files.filePath("formatted.todo");
        QVERIFY(writeListFile(list, root).isEmpty());
        DocumentController controller;
        DocumentMainWindow* window = controller.openFile(list);
        QVERIFY(window);
        window->resize(900, 500);
        selectShown(window->outline(), {"Groceries"});
        clickCell(window->outline(), "Groceries", Column::Notes);
        InspectorDockWidget& inspector = window->inspector();
        QTRY_VERIFY(inspector.isVisible());
        auto* notes = inspector.findChild<QTextEdit*>("notesTextView");
        auto* bar = inspector.findChild<NotesFormatBar*>();
        QVERIFY(notes && bar);
        QVERIFY(bar->isEnabled());

        notes->setFocus();
        QTest::keyClicks(notes, "Milk");
        QTest::keyClick(notes, Qt::Key_Return);
        QTest::keyClicks(notes, "Eggs");
        placeCursor(*notes, int(notes->toPlainText().size()), 0);
        bar->findChild<QAction*>("notesBulletList")->trigger();
        placeCursor(*notes, 2);
        bar->findChild<QAction*>("notesBold")->trigger();
        if (const QByteArray folder = qgetenv("TARDIGO_SCREENSHOTS"); !folder.isEmpty())
            window->grab().save(QDir(QString::fromLocal8Bit(folder)).filePath("notes-format-bar.png"));
        window->document().finishAllEditing();

        const QByteArray* stored = shownItem(window->outline(), "Groceries")->value(key::notes).asData();
        QVERIFY(stored);
        const std::optional<RichText> text = decodeNotes(*stored);
        QVERIFY(text);
        QCOMPARE(text->readableText(), QStringLiteral("\t\u2022\tMilk\n\t\u2022\tEggs"));
        QVERIFY(text->runs.front().bold);
        window->setChangesReviewed();
    }
};

QTEST_MAIN(TestNotesFormatBar)
#include "tst_notes_format_bar.moc"
