#pragma once

#include "model/value.h"
#include "outline/outline_columns.h"

#include <QString>
#include <QVariant>

namespace tardigo {

/// What a window adds to the outline's cells and header besides their texts: icons, fonts, colours,
/// tool tips and what a screen reader reads. The outline's model asks it for every role it does not
/// answer itself.
class OutlineDecorations {
public:
    virtual ~OutlineDecorations() = default;

    virtual QVariant itemData(const NodePtr& item, Column column, int role) const = 0;
    virtual QVariant headerData(Column column, int role) const = 0;
};

} // namespace tardigo
