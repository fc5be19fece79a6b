#include "gui_test_support.h"

#include "appearance/icon_for_name.h"
#include "dialogs/dialog_service.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "outline/icon_rules.h"
#include "outline/outline_columns.h"
#include "outline/outline_item_model.h"
#include "outline/outline_selection.h"
#include "platform/new_item.h"
#include "platform/settings.h"
#include "window/outline_tree_view.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QTest>

namespace tardigo::test {

void setUpGuiTest() {
    Settings::instance().useMemoryOnly();
    DialogService::setScripted(true);
    IconRules::setImageAvailability([](const QString& name) { return !iconForName(name).isNull(); });
}

NodePtr item(const QString& name, double completion, std::initializer_list<NodePtr> children) {
    NodePtr node = newToDoItem();
    node->set(key::name, name);
    node->set(key::completion, Value::float32(completion));
    ArrayPtr list = Array::create();
    for (const NodePtr& child : children)
        list->items.push_back(child);
    node->set(key::children, list);
    return node;
}

NodePtr dueItem(const QString& name, const char* storedDue) {
    NodePtr node = item(name);
    node->set(key::due, QString::fromLatin1(storedDue));
    return node;
}

NodePtr findItem(const Dict& root, const QString& name) {
    std::vector<ArrayPtr> pending{childrenOf(root)};
    while (!pending.empty()) {
        const ArrayPtr children = pending.back();
        pending.pop_back();
        for (const Value& child : children ? children->items : std::vector<Value>{}) {
            const NodePtr node = child.asDict();
            if (!node)
                continue;
            if (const QString* text = node->value(key::name).asString(); text && *text == name)
                return node;
            pending.push_back(childrenOf(*node));
        }
    }
    return nullptr;
}

QStringList rowNames(const OutlineTreeView& outline) {
    QStringList names;
    for (QModelIndex row = outline.model()->index(0, 0); row.isValid(); row = outline.indexBelow(row))
        names.append(stringOf(*outline.outlineModel().itemForIndex(row), key::name));
    return names;
}

QModelIndex shownCell(const OutlineTreeView& outline, const QString& name, Column column) {
    for (QModelIndex row = outline.model()->index(0, 0); row.isValid(); row = outline.indexBelow(row))
        if (stringOf(*outline.outlineModel().itemForIndex(row), key::name) == name)
            return row.siblingAtColumn(columnIndex(column));
    return {};
}

NodePtr shownItem(const OutlineTreeView& outline, const QString& name) {
    return outline.outlineModel().itemForIndex(shownCell(outline, name, Column::Name));
}

void selectShown(OutlineTreeView& outline, const QStringList& names) {
    std::vector<NodePtr> items;
    for (const QString& name : names)
        items.push_back(shownItem(outline, name));
    outline.selection().selectItems(items);
}

QStringList selectedNames(const OutlineTreeView& outline) {
    QStringList names;
    for (const NodePtr& selected : outline.selection().selectedItems())
        names.append(stringOf(*selected, key::name));
    return names;
}

static QPoint cellCenter(OutlineTreeView& outline, const QString& name, Column column) {
    const QModelIndex index = shownCell(outline, name, column);
    outline.scrollTo(index);
    return outline.visualRect(index).center();
}

void clickCell(OutlineTreeView& outline, const QString& name, Column column,
               Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(outline.viewport(), Qt::LeftButton, modifiers, cellCenter(outline, name, column));
}

void doubleClickCell(OutlineTreeView& outline, const QString& name, Column column) {
    const QPoint center = cellCenter(outline, name, column);
    QTest::mouseClick(outline.viewport(), Qt::LeftButton, {}, center);
    QTest::mouseDClick(outline.viewport(), Qt::LeftButton, {}, center);
}

void editCell(OutlineTreeView& outline, const QString& name, Column column) {
    if (selectedNames(outline) != QStringList{name})
        clickCell(outline, name, column);
    clickCell(outline, name, column);
}

QWidget* cellEditor(const OutlineTreeView& outline) {
    if (!outline.isEditing())
        return nullptr;
    for (QWidget* child : outline.viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible() && (qobject_cast<QLineEdit*>(child) || qobject_cast<QComboBox*>(child)))
            return child;
    return nullptr;
}

void typeIntoEditor(OutlineTreeView& outline, const QString& text, Qt::Key endKey) {
    QWidget* editor = cellEditor(outline);
    QVERIFY2(editor, "no cell editor is open");
    QWidget* target = editor;
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        target = combo->lineEdit();
    auto* line = qobject_cast<QLineEdit*>(target);
    QVERIFY(line);
    QTest::keyClicks(target, text);
    QTest::keyClick(target, endKey);
    // The editor hands its value over on the next pass of the event loop.
    QTRY_VERIFY(!outline.isEditing() || cellEditor(outline) != editor);
}

void saveScreenshot(QWidget& widget, const QString& name) {
    if (const QString folder = qEnvironmentVariable("TARDIGO_SCREENSHOTS"); !folder.isEmpty())
        widget.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

QStringList repeatedAccelerators(const QMenuBar& bar) {
    QStringList repeats;
    const auto check = [&repeats](const QString& where, const QList<QAction*>& actions,
                                  QList<const QMenu*>& below) {
        QSet<QString> seen;
        for (const QAction* action : actions) {
            if (action->menu())
                below.append(action->menu());
            const QString key = QKeySequence::mnemonic(action->text()).toString();
            if (key.isEmpty())
                continue;
            if (seen.contains(key))
                repeats << where + QStringLiteral(": ") + action->text() + QStringLiteral(" repeats ") + key;
            seen.insert(key);
        }
    };
    QList<const QMenu*> menus;
    check(QStringLiteral("menu bar"), bar.actions(), menus);
    for (qsizetype i = 0; i < menus.size(); ++i)
        check(menus.at(i)->title(), menus.at(i)->actions(), menus);
    return repeats;
}

} // namespace tardigo::test
