#pragma once

// What the document tests share: trees built as a user builds them, and a list open in a window
// without widgets.

#include "alerts/sheet_window.h"
#include "archive/list_file.h"
#include "document/document_window.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "inspector/core/inspector_view.h"
#include "inspector/core/status_display.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/headless_outline.h"
#include "outline/icon_rules.h"
#include "platform/new_item.h"
#include "platform/user_defaults.h"
#include "rich_text/notes_text.h"
#include "test_support.h"

#include <QCoreApplication>
#include <QTest>

#include <map>

namespace tardigo::test {

/// Where each document test starts: preferences in memory only, "now" fixed (a Sunday noon unless
/// told otherwise) and no most recently created item. The clock runs free again when it goes.
class DocumentTestStart {
public:
    explicit DocumentTestStart(const QDateTime& now = localTime(QStringLiteral("2024-03-10 12:00:00")))
        : _clock(now) {
        UserDefaults::standard().useMemoryOnly();
        IconRules::setMostRecentlyCreatedItem(nullptr);
    }

private:
    FixedClock _clock;
};

/// A new item with the given name and keys.
inline NodePtr makeItem(const QString& name, std::initializer_list<std::pair<QString, Value>> keys = {}) {
    NodePtr item = newToDoItem();
    item->set(key::name, name);
    for (const auto& [k, v] : keys)
        item->set(k, v);
    return item;
}

inline void appendChild(Dict& parent, const NodePtr& child) {
    childrenOf(parent)->items.push_back(child);
}

/// Notes as the notes tool encodes them.
inline QByteArray notesBytes(const QString& text) {
    TextRun run;
    run.text = text;
    return encodeNotes(RichText::fromRuns({run}));
}

/// Notes as the notes tool stores them.
inline Value notesData(const QString& text) {
    return Value::data(notesBytes(text));
}

inline QString nameOf(const Dict& item) {
    return item.value(key::name).asString() ? *item.value(key::name).asString() : "?";
}

inline QStringList childNames(const Dict& node) {
    QStringList names;
    const ArrayPtr children = childrenOf(node);
    for (const Value& child : children->items)
        names << nameOf(*child.asDict());
    return names;
}

inline QStringList historyMessages(const Dict& item) {
    QStringList messages;
    const ArrayPtr history = item.value(key::history).asArray();
    for (const Value& entry : history->items)
        messages << *entry.asDict()->value(key::message).asString();
    return messages;
}

/// A window that carries one sheet at a time; the test answers it.
class FakeSheetWindow : public SheetWindow {
public:
    std::vector<AlertSheet> shown;

    bool hasAttachedSheet() const override { return _dismissal.has_value(); }
    void beginAlertSheet(const AlertSheet& sheet, AlertDismissal onDismiss) override {
        shown.push_back(sheet);
        _dismissal = std::move(onDismiss);
    }
    int addSheetEndedObserver(std::function<void()> observer) override {
        _observers[++_lastToken] = std::move(observer);
        return _lastToken;
    }
    void removeSheetEndedObserver(int token) override { _observers.erase(token); }
    void answer(AlertReturn choice) {
        AlertDismissal dismissal = std::move(*_dismissal);
        _dismissal.reset();
        for (const auto& [token, observer] : std::map(_observers))
            observer();
        dismissal(choice);
    }

private:
    std::optional<AlertDismissal> _dismissal;
    std::map<int, std::function<void()>> _observers;
    int _lastToken = 0;
};

class FakeInspector : public InspectorView {
public:
    int tool = InspectorToolNotes;
    bool showing = false;
    std::vector<int> shownTools;
    int toggles = 0, activations = 0, iconTableReloads = 0;

    int toolIdentifierToShow() const override { return tool; }
    void setToolIdentifierToShow(int t) override { tool = t; }
    bool isInspectorShowing() const override { return showing; }
    void toggleInspector(bool) override { showing = !showing, ++toggles; }
    void activateSelectedTool() override { ++activations; }
    void showToolWithId(int t) override { shownTools.push_back(tool = t); }
    void reloadIconTable() override { ++iconTableReloads; }
};

/// A document window without widgets. Ending the editing closes an open cell editor as a user who
/// typed nothing does.
class FakeWindow : public DocumentWindow {
public:
    explicit FakeWindow(TardigoDocument& document) : outline(document) {}

    HeadlessOutline outline;
    FakeInspector inspector;
    std::shared_ptr<FakeSheetWindow> sheets = std::make_shared<FakeSheetWindow>();
    bool visible = true;
    int shows = 0, renders = 0;
    QString statusText;

    void showWindows() override { visible = true, ++shows; }
    bool isVisible() const override { return visible; }
    void saveLayoutUnderName(const QString&) override {}
    OutlineView& outlineView() override { return outline; }
    InspectorView* inspectorView() override { return &inspector; }
    std::shared_ptr<SheetWindow> sheetWindow() override { return sheets; }
    void finishAllEditing() override { outline.abortEditing(); }
    void renderDisplay(const StatusDisplay& display) override { statusText = display.statusText, ++renders; }
    void setStatusText(const QString& text) override { statusText = text; }
};

/// A list open in a window, as a user sees it after opening it.
class OpenList {
public:
    /// The items, and the list's own settings as it was saved.
    explicit OpenList(std::initializer_list<NodePtr> items = {}, const std::function<void(Dict&)>& saved = {})
        : window(document) {
        for (const NodePtr& item : items)
            appendChild(*document.data(), item);
        if (saved)
            saved(*document.data());
        document.setWindow(&window);
        document.setUpWindow();
    }
    ~OpenList() {
        document.close();
        document.setWindow(nullptr);
    }

    Dict& root() { return *document.data(); }
    HeadlessOutline& outline() { return window.outline; }
    NodePtr row(int r) { return outline().itemAtRow(r); }
    UndoManager& undo() { return document.undoManager(); }
    /// The user clicks the first row, then adds the others to the selection.
    void select(std::initializer_list<int> rows) {
        for (const int r : rows)
            outline().clickRow(r, r != *rows.begin());
    }
    /// The user opens a cell's editor, types and presses Return.
    void type(int r, const QString& column, const CellValue& typed) {
        outline().editColumn(column, r, true);
        outline().endEditing(typed);
    }
    QStringList selectedNames() {
        QStringList names;
        for (const NodePtr& item : outline().selectedItems())
            names << nameOf(*item);
        return names;
    }
    QStringList rowNames() { return rowTexts(key::name); }
    QStringList rowCategories() { return rowTexts(key::category); }
    QStringList rowTexts(const QString& key) {
        QStringList texts;
        for (int r = 0; r < outline().numberOfRows(); ++r) {
            const QString* text = row(r)->value(key).asString();
            texts << (text ? *text : QString());
        }
        return texts;
    }
    /// The user's event ends: its undo group closes and the deferred calls run.
    static void endEvent() { QCoreApplication::processEvents(); }

    TardigoDocument document;
    FakeWindow window;
};

} // namespace tardigo::test

Q_DECLARE_METATYPE(tardigo::Value)
Q_DECLARE_METATYPE(tardigo::NodePtr)
