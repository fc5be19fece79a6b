#include "print/core/print_layout.h"

#include "archive/color_value.h"
#include "dates/user_date_time_format.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "outline/outline_item_model.h"
#include "rich_text/notes_text.h"

#include <QCoreApplication>

#include <algorithm>
#include <map>

namespace tardigo {

namespace {

const QString kUncheckedImage = QStringLiteral("vk_notdone");

std::optional<QString> nonEmptyString(const Dict& item, const QString& key) {
    const QString* text = item.value(key).asString();
    return text && !text->isEmpty() ? std::optional(*text) : std::nullopt;
}

// Notes that do not decode or hold no characters are as good as none.
std::optional<RichText> printableNotes(const Dict& item) {
    const QByteArray* data = item.value(key::notes).asData();
    std::optional<RichText> notes = data ? decodeNotes(*data) : std::nullopt;
    return notes && !notes->plainText.isEmpty() ? notes : std::nullopt;
}

QString completionText(const Dict& item) {
    return QCoreApplication::translate("PrintLayout", "%1% complete").arg(completionPercentOf(item));
}

} // namespace

PrintLayout::PrintLayout(const OutlineItemModel& outline, const QList<Column>& columns, IsExpanded isExpanded,
                         PrintOptions options, IconRules iconRules)
    : _outline(outline), _isExpanded(std::move(isExpanded)), _iconRules(std::move(iconRules)),
      _options(options), _completion(columns.contains(Column::Completion)),
      _dateDue(columns.contains(Column::Due)), _category(columns.contains(Column::Category)) {}

std::vector<PrintItem> PrintLayout::doLayout() {
    _items.clear();
    for (const NodePtr& item : _outline.shownChildren(nullptr))
        layoutItem(item, 0);
    return std::move(_items);
}

void PrintLayout::layoutItem(const NodePtr& item, int depth) {
    PrintItem printed;
    printed.depth = depth;
    printed.style = {itemFontSettings(item.get()),
                     rgbaFromColorValue(item->value(key::color)).value_or(Rgba{})};
    if (_options.checkboxes)
        printed.checkbox = checkboxImageName(*item);
    if (_options.icons) {
        // One image does not print twice: an icon that is the item's check box leaves its place blank.
        const QString icon = _iconRules.iconNameForItem(item.get()).value_or(QString());
        if (icon != printed.checkbox)
            printed.icon = icon;
    }
    printed.name = nonEmptyString(*item, key::name).value_or(QString());
    const QString separator = QStringLiteral(";");
    if (const std::optional<QString> category = nonEmptyString(*item, key::category); category && _category)
        printed.details.append(*category + separator);
    if (_completion)
        printed.details.append(completionText(*item) + separator);
    if (const std::optional<QDateTime> due = parseStoredDate(item->value(key::due)); due && _dateDue)
        printed.details.append(
            QCoreApplication::translate("PrintLayout", "due: %1").arg(formatUserDateTime(*due)) + separator);
    if (_options.notes)
        printed.notes = printableNotes(*item);
    _items.push_back(std::move(printed));

    // A collapsed branch prints as the outline shows it: its children stay hidden.
    if (_isExpanded && !_isExpanded(*item))
        return;
    for (const NodePtr& child : _outline.shownChildren(item.get()))
        layoutItem(child, depth + 1);
}

QString PrintLayout::checkboxImageName(const Dict& item) const {
    const int status = isCompleted(item) ? IconStatusCompleted : IconStatusDefault;
    return _iconRules.iconNameForItemStatus(status).value_or(kUncheckedImage);
}

RichText notesInTextSize(RichText notes, double pointSize) {
    std::map<double, qsizetype> characters; // of each size
    for (const TextRun& run : notes.runs)
        characters[run.fontSize] += run.text.size();
    const auto body = std::max_element(characters.begin(), characters.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    if (body == characters.end() || body->first <= 0 || pointSize <= 0)
        return notes;
    const double scale = pointSize / body->first;
    for (TextRun& run : notes.runs)
        run.fontSize *= scale;
    return notes;
}

} // namespace tardigo
