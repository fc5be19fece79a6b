#pragma once

#include "outline/outline_decorations.h"

#include <QCoreApplication>

namespace tardigo {

class OutlineDataSource;

/// How the outline of a window draws its cells besides their texts: each item's icon, font and
/// colour, and the status a screen reader reads in place of the icon.
class OutlineAppearance : public OutlineDecorations {
    Q_DECLARE_TR_FUNCTIONS(OutlineAppearance)
public:
    explicit OutlineAppearance(const OutlineDataSource& source) : _source(source) {}

    QVariant itemData(const NodePtr& item, Column column, int role) const override;
    QVariant headerData(Column column, int role) const override;

private:
    const OutlineDataSource& _source;
};

} // namespace tardigo
