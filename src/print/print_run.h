#pragma once

#include "document/status_display.h"
#include "model/rgba.h"
#include "rich_text/rich_text.h"

#include <QString>

#include <optional>

namespace tardigo {

/// The attributes of an item's own texts in a printout.
struct PrintTextStyle {
    ItemFont font;
    Rgba color;                // black when the item has none
    double baselineOffset = 0; // points the text is lifted, level with the images beside it
    bool operator==(const PrintTextStyle& other) const = default;
};

/// One piece of a printout's text, in order: characters, an image, or an item's notes.
struct PrintRun {
    enum class Kind { Text, Image, Notes };
    Kind kind = Kind::Text;
    QString text;                        // Text: the characters, tabs and line breaks included
    std::optional<PrintTextStyle> style; // Text: the item's attributes; none for plain tabs and spaces
    QString imageName;                   // Image: the icon's name, as the icon rules give it
    RichText notes;                      // Notes: with their own fonts and colours
};

} // namespace tardigo
