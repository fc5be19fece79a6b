#pragma once

// Shared helpers of the document tests: building trees and reading them back.

#include "document/document_window.h"
#include "document/headless_outline.h"
#include "document/inspector_view.h"
#include "document/status_display.h"
#include "document/tardigo_document.h"
#include "minder/sheet_window.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "storage/list_file.h"
#include "storage/notes_text.h"

#include <QCoreApplication>
#include <QMetaType>
#include <QStringList>
#include <QTest>

#include <map>

namespace tardigo::test {

/// A new item, as the New command makes it, with the given name.
inline NodePtr makeItem(const QString& name, std::initializer_list<std::pair<QString, Value>> keys = {}) {
    NodePtr item = newToDoItem();
    item->set(key::name, name);
    for (const auto& [k, v] : keys)
        item->set(k, v);
    return item;
}

inline void appendChild(Dict& parent, const NodePtr& child) {
    if (!childrenOf(parent))
        parent.set(key::children, Array::create());
    childrenOf(parent)->items.push_back(child);
}

/// A root node as a new document has it, holding the given top-level items.
inline NodePtr makeRoot(std::initializer_list<NodePtr> items = {}) {
    NodePtr root = newListRoot();
    for (const NodePtr& item : items)
        appendChild(*root, item);
    return root;
}

/// Notes as the notes tool stores them.
inline Value notesData(const QString& text) {
    TextRun run;
    run.text = text;
    return Value::data(encodeNotes(RichText::fromRuns({run})));
}

inline QString nameOf(const Dict& item) {
    const QString* name = item.value(key::name).asString();
    return name ? *name : QStringLiteral("(none)");
}

/// The names of the node's children, in stored order.
inline QStringList childNames(const Dict& node) {
    QStringList names;
    if (const ArrayPtr children = childrenOf(node))
        for (const Value& child : children->items)
            names << nameOf(*child.asDict());
    return names;
}

/// The messages of an item's history, oldest first.
inline QStringList historyMessages(const Dict& item) {
    QStringList messages;
    if (const ArrayPtr history = item.value(key::history).asArray())
        for (const Value& entry : history->items)
            messages << *entry.asDict()->value(key::message).asString();
    return messages;
}

/// A sheet-carrying window that keeps one sheet at a time; the test answers it.
class FakeSheetWindow : public SheetWindow {
public:
    std::vector<AlertSheet> shown;

    bool hasAttachedSheet() const override { return _dismissal.has_value(); }
    void beginAlertSheet(const AlertSheet& sheet, AlertDismissal didDismiss) override {
        shown.push_back(sheet);
        _dismissal = std::move(didDismiss);
    }
    int addSheetEndedObserver(std::function<void()> observer) override {
        _observers[++_lastToken] = std::move(observer);
        return _lastToken;
    }
    void removeSheetEndedObserver(int token) override { _observers.erase(token); }

    /// The user dismisses the sheet with a button.
    void answer(int returnCode) {
        QVERIFY(_dismissal);
        AlertDismissal dismissal = std::move(*_dismissal);
        _dismissal.reset();
        for (const auto& [token, observer] : std::map(_observers))
            observer();
        dismissal(returnCode);
    }

private:
    std::optional<AlertDismissal> _dismissal;
    std::map<int, std::function<void()>> _observers;
    int _lastToken = 0;
};

/// An inspector that remembers what it was asked to show.
class FakeInspector : public InspectorView {
public:
    int tool = InspectorToolNotes;
    bool showing = false;
    std::vector<int> shownTools;
    int toggles = 0;
    int activations = 0;
    int iconTableReloads = 0;

    int toolIdentifierToShow() const override { return tool; }
    void setToolIdentifierToShow(int t) override { tool = t; }
    bool isInspectorShowing() const override { return showing; }
    void toggleInspector(bool) override {
        showing = !showing;
        ++toggles;
    }
    void activateSelectedTool() override { ++activations; }
    void showToolWithId(int t) override {
        tool = t;
        showing = true;
        shownTools.push_back(t);
    }
    void reloadIconTable() override { ++iconTableReloads; }
};

/// A document window without widgets: a headless outline, an inspector and a sheet carrier. Ending
/// the editing closes an open cell editor as a user who typed nothing does.
class FakeWindow : public DocumentWindow {
public:
    explicit FakeWindow(TardigoDocument& document)
        : outline(document), sheets(std::make_shared<FakeSheetWindow>()) {}

    HeadlessOutline outline;
    FakeInspector inspector;
    std::shared_ptr<FakeSheetWindow> sheets;
    bool visible = true;
    int shows = 0;
    int finishedEditing = 0;
    int renders = 0;
    QString statusText;

    void showWindows() override {
        visible = true;
        ++shows;
    }
    bool isVisible() const override { return visible; }
    void saveLayoutUnderName(const QString&) override {}
    OutlineView& outlineView() override { return outline; }
    InspectorView* inspectorView() override { return &inspector; }
    std::shared_ptr<SheetWindow> sheetWindow() override { return sheets; }
    void finishAllEditing() override {
        ++finishedEditing;
        outline.abortEditing();
    }
    void renderDisplay(const StatusDisplay& display) override {
        ++renders;
        statusText = display.statusText;
    }
    void setStatusText(const QString& text) override { statusText = text; }
};

/// A list open in a window, as a user sees it after opening it.
class OpenList {
public:
    /// The items, and the list's own settings as it was saved, before the window is set up.
    explicit OpenList(std::initializer_list<NodePtr> items = {},
                      const std::function<void(Dict& root)>& savedSettings = {})
        : window(document) {
        for (const NodePtr& item : items)
            appendChild(*document.data(), item);
        if (savedSettings)
            savedSettings(*document.data());
        document.setWindow(&window);
        document.windowControllerDidLoadNib();
    }
    ~OpenList() {
        document.close();
        document.setWindow(nullptr);
    }
    OpenList(const OpenList&) = delete;
    OpenList& operator=(const OpenList&) = delete;

    Dict& root() { return *document.data(); }
    HeadlessOutline& outline() { return window.outline; }
    /// The user selects exactly these rows.
    void select(std::initializer_list<int> rows) {
        bool first = true;
        for (const int row : rows) {
            outline().clickRow(row, !first);
            first = false;
        }
    }
    QStringList selectedNames() {
        QStringList names;
        for (const NodePtr& item : VKallSelectedItems(outline()))
            names << nameOf(*item);
        return names;
    }
    /// The names of the rows, top to bottom.
    QStringList rowNames() {
        QStringList names;
        for (int row = 0; row < outline().numberOfRows(); ++row)
            names << nameOf(*outline().itemAtRow(row));
        return names;
    }
    /// The user finishes what they were doing: the event ends and deferred calls run.
    static void endEvent() { QCoreApplication::processEvents(); }

    TardigoDocument document;
    FakeWindow window;
};

} // namespace tardigo::test

Q_DECLARE_METATYPE(tardigo::Value)
Q_DECLARE_METATYPE(tardigo::NodePtr)
