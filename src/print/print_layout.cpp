#include "print/print_layout.h"

#include "archive/color_value.h"
#include "document/outline_data_source.h"
#include "document/outline_view.h"
#include "minder/user_date_time_format.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "platform/localized.h"
#include "rich_text/notes_text.h"

namespace tardigo {

namespace {

// Lifts the texts level with the check box and icon images.
constexpr double kImageBaselineOffset = 5.0;
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
    return localizedFormat(QStringLiteral("%d%% complete"), QString::number(completionPercentOf(item)));
}

} // namespace

PrintLayout::PrintLayout(const OutlineDataSource& dataSource, const OutlineView& outline,
                         PrintOptions options, IconRules iconRules)
    : _dataSource(dataSource), _outline(outline), _iconRules(std::move(iconRules)),
      _checkboxes(options.checkboxes), _icons(options.icons), _notes(options.notes),
      _completion(outline.containsTableColumn(key::completion)),
      _dateDue(outline.containsTableColumn(key::due)), _category(outline.containsTableColumn(key::category)) {
}

std::vector<PrintRun> PrintLayout::doLayout() {
    _runs.clear();
    const ArrayPtr topLevel = _dataSource.filteredChildrenOfItem(nullptr);
    for (const Value& child : topLevel->items)
        if (NodePtr item = child.asDict())
            layoutItem(item, 0);
    return std::move(_runs);
}

void PrintLayout::layoutItem(const NodePtr& item, int indentation) {
    const std::optional<QString> name = nonEmptyString(*item, key::name);
    const std::optional<QString> category = nonEmptyString(*item, key::category);
    const std::optional<QDateTime> due = parseStoredDate(item->value(key::due));
    PrintTextStyle style{itemFontSettings(item.get()),
                         rgbaFromColorValue(item->value(key::color)).value_or(Rgba{}), 0.0};
    if (_checkboxes || _icons)
        style.baselineOffset = kImageBaselineOffset;

    appendPlain(QString(indentation, u'\t'));
    const std::optional<QString> icon = _icons ? _iconRules.iconNameForItem(item.get()) : std::nullopt;
    if (_checkboxes) {
        // One image does not print twice when the item's icon is its check box.
        const QString checkbox = checkboxImageName(*item);
        if (icon != checkbox)
            appendImage(checkbox);
    }
    if (icon) {
        appendImage(*icon);
        appendPlain(QStringLiteral("\t"));
    }
    if (name) {
        appendStyled(*name, style);
        appendPlain(QStringLiteral(" "));
    }
    // Even a nameless item gets its tab, so that its other texts line up with the rest.
    appendPlain(QStringLiteral("\t"));
    const QString separator = QStringLiteral(";");
    if (category && _category) {
        appendStyled(*category + separator, style);
        appendPlain(QStringLiteral(" "));
    }
    if (_completion) {
        appendStyled(completionText(*item) + separator, style);
        appendPlain(QStringLiteral(" "));
    }
    if (due && _dateDue) {
        appendStyled(localizedFormat(QStringLiteral("due: %@"), formatUserDateTime(*due)) + separator, style);
        appendPlain(QStringLiteral(" "));
    }
    appendPlain(QStringLiteral("\n"));
    if (_notes) {
        if (std::optional<RichText> notes = printableNotes(*item)) {
            PrintRun run;
            run.kind = PrintRun::Kind::Notes;
            run.notes = std::move(*notes);
            _runs.push_back(std::move(run));
            appendPlain(QStringLiteral("\n"));
        }
    }

    // A collapsed branch prints as the outline shows it: its children stay hidden.
    if (_dataSource.isItemExpandable(item) && !_outline.isItemExpanded(item.get()))
        return;
    const ArrayPtr children = _dataSource.filteredChildrenOfItem(item);
    for (const Value& child : children->items)
        if (NodePtr childItem = child.asDict())
            layoutItem(childItem, indentation + 1);
}

void PrintLayout::appendPlain(const QString& text) {
    if (text.isEmpty())
        return;
    PrintRun run;
    run.text = text;
    _runs.push_back(std::move(run));
}

void PrintLayout::appendStyled(const QString& text, const PrintTextStyle& style) {
    PrintRun run;
    run.text = text;
    run.style = style;
    _runs.push_back(std::move(run));
}

void PrintLayout::appendImage(const QString& name) {
    PrintRun run;
    run.kind = PrintRun::Kind::Image;
    run.imageName = name;
    _runs.push_back(std::move(run));
}

QString PrintLayout::checkboxImageName(const Dict& item) const {
    const int status = VKisCompleted(item) ? IconStatusCompleted : IconStatusDefault;
    return _iconRules.iconNameForItemStatus(status).value_or(kUncheckedImage);
}

} // namespace tardigo
