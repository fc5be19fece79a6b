#pragma once

// What the document tests share: trees built as a user builds them, and a list open in a window
// without widgets, its outline's model watched by Qt's model tester.

#include "archive/list_file.h"
#include "document/document_window.h"
#include "document/tardigo_document.h"
#include "document/undo_manager.h"
#include "fake_message_host.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/icon_rules.h"
#include "outline/inspector_view.h"
#include "outline/outline_columns.h"
#include "outline/outline_filter.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "outline/status_display.h"
#include "platform/new_item.h"
#include "platform/settings.h"
#include "rich_text/notes_text.h"
#include "test_support.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QTest>

#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace tardigo::test {

/// Where each document test starts: preferences in memory only, "now" fixed (a Sunday noon unless
/// told otherwise) and no most recently created item. The clock runs free again when it goes.
class DocumentTestStart {
public:
    explicit DocumentTestStart(const QDateTime& now = localTime(QStringLiteral("2024-03-10 12:00:00")))
        : _clock(now) {
        Settings::instance().useMemoryOnly();
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

/// Where the outline's model differs from the list's tree under its filters, worked out afresh here
/// (the items the key filter shows that match the search, with their ancestors); empty when it
/// shows exactly that.
inline QString outlineDifference(const TardigoDocument& document) {
    const OutlineItemModel& model = document.outlineModel();
    const Dict& root = *document.data();
    const KeyFilter keyFilter(root);
    const ItemSearch search(model.searchText());
    std::unordered_set<const Dict*> seen;
    std::unordered_map<const Dict*, std::vector<NodePtr>> expected; // the items shown under each node
    // Whether anything below node is shown; a node the tree holds twice shows where first met.
    const auto walk = [&](const auto& self, const Dict& node) -> bool {
        std::vector<NodePtr> shown;
        if (const ArrayPtr children = childrenOf(node))
            for (const Value& child : children->items) {
                if (!child.dictAddress() || !seen.insert(child.dictAddress()).second ||
                    keyFilter.hides(*child.dictAddress()))
                    continue;
                const NodePtr item = child.asDict();
                if (self(self, *item) || search.matches(*item))
                    shown.push_back(item);
            }
        expected[&node] = shown;
        return !shown.empty();
    };
    walk(walk, root);
    QString difference;
    const auto compare = [&](const auto& self, const Dict& node, const QModelIndex& parent) -> void {
        const std::vector<NodePtr>& rows = expected[&node];
        if (model.rowCount(parent) != int(rows.size())) {
            difference = QStringLiteral("%1 rows under \"%2\" instead of %3")
                             .arg(model.rowCount(parent))
                             .arg(stringOf(node, key::name))
                             .arg(rows.size());
            return;
        }
        for (int row = 0; row < int(rows.size()) && difference.isEmpty(); ++row) {
            const QModelIndex index = model.index(row, 0, parent);
            if (model.itemForIndex(index) != rows[size_t(row)] || model.parent(index) != parent) {
                difference = QStringLiteral("row %1 under \"%2\" is not \"%3\"")
                                 .arg(row)
                                 .arg(stringOf(node, key::name), stringOf(*rows[size_t(row)], key::name));
                return;
            }
            self(self, *rows[size_t(row)], index);
        }
    };
    compare(compare, root, QModelIndex());
    return difference;
}

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

/// A document window without widgets: no outline, only what the document reaches through the
/// window interface.
class FakeWindow : public DocumentWindow {
public:
    FakeInspector inspector;
    FakeMessageHost messages;
    bool visible = true;
    int shows = 0, renders = 0, editsFinished = 0;
    QString statusText;

    void showWindows() override { visible = true, ++shows; }
    bool isVisible() const override { return visible; }
    void saveLayoutUnderName(const QString&) override {}
    InspectorView* inspectorView() override { return &inspector; }
    MessageHost& messageHost() override { return messages; }
    void finishAllEditing() override { ++editsFinished; }
    void renderDisplay(const StatusDisplay& display) override { statusText = display.statusText, ++renders; }
    void setStatusText(const QString& text) override { statusText = text; }
};

/// A list open in a window, as a user sees it after opening it. The test reads the outline through
/// its model, every branch open, and selects through its selection; what the document asks of the
/// window's outline is noted.
class OpenList {
public:
    /// The items, and the list's own settings as it was saved.
    explicit OpenList(std::initializer_list<NodePtr> items = {}, const std::function<void(Dict&)>& saved = {})
        : OpenList(std::vector<NodePtr>(items), saved) {}
    explicit OpenList(const std::vector<NodePtr>& items, const std::function<void(Dict&)>& saved = {}) {
        for (const NodePtr& item : items)
            appendChild(*document.data(), item);
        if (saved)
            saved(*document.data());
        document.setWindow(&window);
        document.setUpWindow();
        tester = std::make_unique<QAbstractItemModelTester>(
            &document.outlineModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QObject::connect(&document, &TardigoDocument::cellEditRequested, &document,
                         [this](const NodePtr& item, Column column, bool selectText) {
                             editRequest = EditRequest{item, column, selectText};
                         });
        QObject::connect(&document, &TardigoDocument::itemsToReveal, &document,
                         [this](const std::vector<NodePtr>& shown) { revealed = shown; });
    }
    ~OpenList() {
        // Every change the test made reached the outline as its document announced it.
        if (const QString difference = outlineDifference(document); !difference.isEmpty())
            QTest::qFail(qPrintable(QStringLiteral("the outline is not the list: ") + difference), __FILE__,
                         __LINE__);
        tester.reset();
        document.close();
        document.setWindow(nullptr);
    }

    Dict& root() { return *document.data(); }
    OutlineItemModel& model() { return document.outlineModel(); }
    OutlineSelectionModel& selection() { return document.selection(); }
    UndoStack& undo() { return document.undoStack(); }

    /// The items the outline shows, depth first, every branch open.
    std::vector<NodePtr> rows() {
        std::vector<NodePtr> shown;
        const auto walk = [&](const auto& self, const QModelIndex& parent) -> void {
            for (int row = 0; row < model().rowCount(parent); ++row) {
                const QModelIndex index = model().index(row, 0, parent);
                shown.push_back(model().itemForIndex(index));
                self(self, index);
            }
        };
        walk(walk, QModelIndex());
        return shown;
    }
    /// The first item shown under that name, depth first; null when none is.
    NodePtr item(const QString& name) {
        for (const NodePtr& shown : rows())
            if (nameOf(*shown) == name)
                return shown;
        return nullptr;
    }
    /// The item shown at a place: its row among the rows of its parent's at each level, from the top.
    NodePtr at(std::initializer_list<int> path) {
        QModelIndex index;
        for (const int row : path)
            index = model().index(row, 0, index);
        return model().itemForIndex(index);
    }
    /// The user selects the rows of these names, the last one current.
    void select(std::initializer_list<QString> names) {
        std::vector<NodePtr> items;
        for (const QString& name : names)
            items.push_back(item(name));
        selection().selectItems(items);
    }
    /// The user ends typing into the item's cell: its editor delivers what was typed to the model.
    bool type(const NodePtr& item, Column column, const QVariant& typed) {
        return model().setData(model().indexOfItem(item.get(), columnIndex(column)), typed);
    }
    QStringList selectedNames() {
        QStringList names;
        for (const NodePtr& item : selection().selectedItems())
            names << nameOf(*item);
        return names;
    }
    QStringList rowNames() { return rowTexts(key::name); }
    QStringList rowCategories() { return rowTexts(key::category); }
    QStringList rowTexts(const QString& key) {
        QStringList texts;
        for (const NodePtr& shown : rows()) {
            const QString* text = shown->value(key).asString();
            texts << (text ? *text : QString());
        }
        return texts;
    }
    /// The user's event ends: its undo group closes and the deferred calls run.
    static void endEvent() { QCoreApplication::processEvents(); }

    /// The cell editor the document asked the window to open last.
    struct EditRequest {
        NodePtr item;
        Column column;
        bool selectText;
    };

    TardigoDocument document;
    FakeWindow window;
    std::unique_ptr<QAbstractItemModelTester> tester;
    std::optional<EditRequest> editRequest;
    std::vector<NodePtr> revealed; // the items the document asked the window to show last
};

} // namespace tardigo::test

Q_DECLARE_METATYPE(tardigo::Value)
Q_DECLARE_METATYPE(tardigo::NodePtr)
