#pragma once

#include "model/rgba.h"
#include "outline/status_display.h"
#include "rich_text/rich_text.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tardigo {

/// The attributes of an item's own texts in a printout.
struct PrintTextStyle {
    ItemFont font;
    Rgba color; // black when the item has none
    bool operator==(const PrintTextStyle& other) const = default;
};

/// One item of a printout, as the outline shows it: a line indented by its depth, with its check box
/// and icon in places of their own, so that every name starts at the same indent, then its name and
/// the texts of the columns the outline has; under it, its notes.
struct PrintItem {
    int depth = 0;
    QString checkbox;    // the image of the check box, when check boxes print
    QString icon;        // the icon's image, when icons print; empty leaves its place blank
    QString name;        // empty for a nameless item
    QStringList details; // the category, completion and due texts shown, each ending in ";"
    PrintTextStyle style;
    std::optional<RichText> notes; // when notes print and the item has some
};

/// What stands between an item's name and the texts of its other columns, so that the category does
/// not read as part of the name.
inline const QString kPrintDetailsSeparator = QStringLiteral(" \u2014 ");

} // namespace tardigo
