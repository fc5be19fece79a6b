#pragma once

#include "outline/icon_rules.h"
#include "outline/outline_columns.h"
#include "print/core/print_item.h"
#include "print/core/print_options.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace tardigo {

class OutlineItemModel;

/// The content of a printout: each item the outline shows, in the outline's order, with its depth,
/// images, texts of the columns the outline has, and notes. Collapsed branches and items the list's
/// filters hide are left out, as on screen.
class PrintLayout {
public:
    /// Whether an item shows its children, as the window shows it; none: every branch is open.
    using IsExpanded = std::function<bool(const Dict& item)>;

    PrintLayout(const OutlineItemModel& outline, const QList<Column>& columns, IsExpanded isExpanded,
                PrintOptions options, IconRules iconRules);

    /// The whole list's items.
    std::vector<PrintItem> doLayout();

private:
    void layoutItem(const NodePtr& item, int depth);
    /// The image that shows whether the item is done.
    QString checkboxImageName(const Dict& item) const;

    const OutlineItemModel& _outline;
    IsExpanded _isExpanded;
    IconRules _iconRules;
    PrintOptions _options;
    bool _completion, _dateDue, _category; // the outline has the column
    std::vector<PrintItem> _items;
};

/// The notes in the list's text size: the size most of their characters have becomes `pointSize`,
/// and every other size keeps its proportion to it, so that headings stay larger.
RichText notesInTextSize(RichText notes, double pointSize);

} // namespace tardigo
