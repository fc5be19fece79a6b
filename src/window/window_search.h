#pragma once

#include "model/value.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

namespace tardigo {

class OutlineTreeView;
class SearchField;
class TardigoDocument;

/// The search of a document window: the field above the outline, Find, Find Next and Find Previous.
/// While a search shows items, every shown item is expanded so that each match is in view; the
/// items expanded before the search are expanded again when it ends, with the ancestors of the
/// items then selected.
class WindowSearch : public QObject {
    Q_OBJECT
public:
    WindowSearch(TardigoDocument& document, OutlineTreeView& outline, QWidget* parent);

    SearchField& field() const { return *_field; }
    /// Find: the focus goes to the field, its text selected.
    void find();
    /// Selects the next (or previous) match; beeps when none is shown.
    void findNext(bool backwards);
    /// Shows the list's search in the field, as it is after a change or an undo.
    void render();

private:
    void typed(const QString& text);
    /// Escape in the field: back to the outline, the selection kept.
    void finish();
    /// Opens everything the search shows, or, the search over, what was open before it.
    void followSearch();

    TardigoDocument& _document;
    OutlineTreeView& _outline;
    SearchField* _field;
    std::vector<NodePtr> _expandedBefore; // while a search shows items
    QString _expandedFor;                 // the search the outline was last opened for; empty: none
    // The searches typed before it that it narrows, the first one opened for, the last one just
    // before it: going back to one of them shows only items already open for it.
    QStringList _narrowedFrom;
};

} // namespace tardigo
