#pragma once

#include "model/value.h"

#include <QItemSelectionModel>

#include <vector>

namespace tardigo {

class OutlineItemModel;

/// The selection of a list's outline, in Qt's type, shared by the window's view and the document's
/// commands, which read and set it by item.
class OutlineSelectionModel : public QItemSelectionModel {
    Q_OBJECT
public:
    explicit OutlineSelectionModel(OutlineItemModel& model, QObject* parent = nullptr);

    /// The selected items, in the outline's order.
    std::vector<NodePtr> selectedItems() const;
    /// The item of the current row when it is selected, else the last selected one; null when none is.
    NodePtr lastSelectedItem() const;
    /// Selects exactly those of the items the outline shows, the last of them current.
    void selectItems(const std::vector<NodePtr>& items);
    /// Whether a command is selecting rather than the user: a view then leaves its scroll as it is.
    bool isSelectingForCommand() const { return _selectingForCommand; }

private:
    OutlineItemModel& _model;
    bool _selectingForCommand = false;
};

} // namespace tardigo
