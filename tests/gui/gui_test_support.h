#pragma once

#include "model/value.h"

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
/// The names of the outline's rows, top to bottom.
QStringList rowNames(const OutlineTreeView& outline);

/// A user's click, and double click, on the middle of a cell.
void clickCell(OutlineTreeView& outline, int row, const QString& identifier,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void doubleClickCell(OutlineTreeView& outline, int row, const QString& identifier);
/// Opens a text cell's editor as a user does: a click selects the row, a click on the row selected
/// edits.
void editCell(OutlineTreeView& outline, int row, const QString& identifier);
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
