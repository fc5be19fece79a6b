#pragma once

#include "document/icon_rules.h"
#include "print/print_options.h"
#include "print/print_run.h"

#include <vector>

namespace tardigo {

class OutlineDataSource;
class OutlineView;

/// The text of a printout: one paragraph per item the outline shows, in the outline's order, each
/// indented by its depth and followed by the texts of the columns the outline has, then its notes.
/// Collapsed branches and items the list's filter hides are left out, as on screen.
class PrintLayout {
public:
    PrintLayout(const OutlineDataSource& dataSource, const OutlineView& outline, PrintOptions options,
                IconRules iconRules);

    /// The whole list's runs.
    std::vector<PrintRun> doLayout();

private:
    void layoutItem(const NodePtr& item, int indentation);
    void appendPlain(const QString& text);
    void appendStyled(const QString& text, const PrintTextStyle& style);
    void appendImage(const QString& name);
    /// The image that shows whether the item is done.
    QString checkboxImageName(const Dict& item) const;

    const OutlineDataSource& _dataSource;
    const OutlineView& _outline;
    IconRules _iconRules;
    bool _checkboxes, _icons, _notes;
    bool _completion, _dateDue, _category; // the outline has the column
    std::vector<PrintRun> _runs;
};

} // namespace tardigo
