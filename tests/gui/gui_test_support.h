#pragma once

#include "model/value.h"
#include "outline/outline_columns.h"

#include <QMenuBar>
#include <QModelIndex>
#include <QString>

class QWidget;

namespace tardigo {
class OutlineTreeView;
}

namespace tardigo::test {

/// What every widget test needs: preferences in memory, scripted dialogs, icons from the resources.
void setUpGuiTest();

/// An item node with this name, completion and children.
NodePtr item(const QString& name, double completion = 0.0, std::initializer_list<NodePtr> children = {});
/// A not-done item due as the stored date reads, e.g. "2026-12-07 12:00:00 +0100".
NodePtr dueItem(const QString& name, const char* storedDue);
/// The first item with this name, searched through the whole tree; null when there is none.
NodePtr findItem(const Dict& root, const QString& name);
/// The names of the outline's rows on show, top to bottom: the rows of every open row follow it.
QStringList rowNames(const OutlineTreeView& outline);
/// The cell of the first row on show with this name; invalid when none is.
QModelIndex shownCell(const OutlineTreeView& outline, const QString& name, Column column);
/// The item of the first row on show with this name; null when none is.
NodePtr shownItem(const OutlineTreeView& outline, const QString& name);
/// Selects the rows on show with these names, as a command does: the last one current.
void selectShown(OutlineTreeView& outline, const QStringList& names);
/// The names of the selected items, in the outline's order.
QStringList selectedNames(const OutlineTreeView& outline);

/// A user's click, and double click, on the middle of the cell of the row on show with this name.
void clickCell(OutlineTreeView& outline, const QString& name, Column column,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void doubleClickCell(OutlineTreeView& outline, const QString& name, Column column);
/// Opens a text cell's editor as a user does: a click selects the row, a click on the row selected
/// edits.
void editCell(OutlineTreeView& outline, const QString& name, Column column);
/// The open cell editor; null when none is open.
QWidget* cellEditor(const OutlineTreeView& outline);
/// Types the text into the open editor, replacing what is selected, then presses the key.
void typeIntoEditor(OutlineTreeView& outline, const QString& text, Qt::Key endKey = Qt::Key_Return);
/// Saves a picture of the widget as NAME.png into $TARDIGO_SCREENSHOTS, when it is set.
void saveScreenshot(QWidget& widget, const QString& name);
/// Each accelerator that a menu of the bar, or the bar itself, gives to two entries, as
/// "menu: entry repeats key"; empty when none does.
QStringList repeatedAccelerators(const QMenuBar& bar);

} // namespace tardigo::test
