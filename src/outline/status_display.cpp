#include "outline/status_display.h"

#include "dates/user_date_time_format.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "outline/inspector_tools.h"
#include "outline/outline_filter.h"
#include "platform/settings.h"

#include <QCoreApplication>

namespace tardigo {

namespace {

constexpr double kLargestPointSize = 1000;

/// A size a damaged file made negative, huge or not a number reads as no size of its own.
int pointSizeOf(std::optional<double> size) {
    const double points = size.value_or(0.0);
    return points > 0.0 && points <= kLargestPointSize ? int(points) : 0; // NaN fails both tests
}

QString historyText(const Dict& item) {
    QString text;
    const ArrayPtr history = item.value(key::history).asArray();
    if (!history)
        return text;
    for (const Value& entry : history->items) {
        const DictPtr e = entry.asDict();
        if (!e)
            continue;
        const QString* stamp = e->value(key::timestamp).asString();
        // A timestamp that does not parse is shown as it is stored.
        const std::optional<QDateTime> when = stamp ? parseStoredDate(*stamp) : std::nullopt;
        text += QStringLiteral("%1: %2\n")
                    .arg(when ? formatUserDateTime(*when) : (stamp ? *stamp : QString()),
                         stringOf(*e, key::message));
    }
    return text;
}

AppearanceTools appearanceTools(const Dict& item) {
    AppearanceTools tools;
    tools.font = itemFontSettings(&item);
    tools.isDefaultFont = !tools.font.name || tools.font == userDefaultFont();
    tools.color = item.value(key::color);
    tools.iconExclusive = flagOf(item, key::thisIconOnly);
    if (const QString* icon = item.value(key::icon).asString()) {
        const qsizetype row = Settings::instance().itemIcons().indexOf(*icon);
        if (row >= 0)
            tools.selectedIconRow = int(row);
    }
    return tools;
}

ItemTools itemTools(const NodePtr& shown) {
    const Dict& item = *shown;
    ItemTools tools;
    tools.shown = shown;
    if (const QByteArray* notes = item.value(key::notes).asData())
        tools.notes = *notes;
    tools.due = parseStoredDate(item.value(key::due));
    const Number* period = item.value(key::dateDueRepeatPeriod).asNumber();
    tools.periodTag = period ? int(period->toInt64()) : 0;
    tools.repeatOn = tools.periodTag > 0;
    if (const Number* completion = item.value(key::completion).asNumber()) {
        tools.completionLabel = QStringLiteral("%1%").arg(completionPercentOf(item));
        tools.completionSlider = boundedCompletion(completion->toDouble());
        tools.completedChecked = *completion == Number::float64(1.0);
    }
    tools.historyText = historyText(item);
    if (const QString* category = item.value(key::category).asString())
        tools.category = *category;
    tools.reminderSet = flagOf(item, key::reminderSet);
    const Value& length = item.value(key::reminderTimeLength);
    if (const Number* n = length.asNumber())
        tools.reminderLength = QString::number(n->toDouble());
    else if (const QString* s = length.asString())
        tools.reminderLength = *s;
    if (const Number* unit = item.value(key::reminderTimeUnit).asNumber())
        tools.reminderUnitTag = int(unit->toInt64());
    tools.reminderMarkDueDate = flagOf(item, key::reminderMarkDueDate);
    tools.reminderMarkNow = flagOf(item, key::reminderMarkNow);
    tools.reminderRepeat = flagOf(item, key::reminderRepeat);
    return tools;
}

} // namespace

ItemFont itemFontSettings(const Dict* item) {
    ItemFont font;
    if (!item)
        return font;
    if (const QString* name = item->value(key::fontName).asString()) {
        font.name = *name;
        const Value size = item->value(key::fontSize);
        font.pointSize =
            pointSizeOf(size.isNumber() ? std::optional(size.asNumber()->toDouble()) : std::nullopt);
    }
    return font;
}

ItemFont userDefaultFont() {
    const Settings& settings = Settings::instance();
    ItemFont font;
    if (const QString name = settings.userFont(); !name.isEmpty()) {
        font.name = name;
        font.pointSize = pointSizeOf(settings.userFontSize());
    }
    return font;
}

QString outstandingText(const ItemCounts& counts) {
    const auto [total, complete] = counts;
    if (total == 0)
        return QString();
    if (complete == total)
        return QCoreApplication::translate("StatusDisplay", "All items are completed.");
    return QCoreApplication::translate("StatusDisplay", "%1/%2 outstanding").arg(total - complete).arg(total);
}

StatusDisplay statusDisplayFor(const Dict& root, const QString& statusText, const NodePtr& item,
                               qsizetype selectedCount, int currentTool) {
    StatusDisplay display;
    display.statusText = statusText;
    display.hideCompletedChecked = hidesCompletedItems(root);
    if (!item || selectedCount == 0) {
        display.selectionLabel = QCoreApplication::translate("StatusDisplay", "[no selection]");
        return display;
    }
    const bool multiple = selectedCount > 1;
    if (multiple) {
        const bool appliesToAll = inspectorToolTakesSeveralItems(currentTool);
        display.selectionLabel = appliesToAll
                                     ? QCoreApplication::translate("StatusDisplay", "(multiple selection OK)")
                                     : QCoreApplication::translate("StatusDisplay", "(multiple selection)");
        display.toolsEnabled = appliesToAll;
    } else {
        const QString* name = item->value(key::name).asString();
        display.selectionLabel = name ? *name : QString();
        display.toolsEnabled = true;
    }
    display.selectionFont = itemFontSettings(item.get());
    const bool panel = flagOf(root, key::panelInspector);
    display.tearOffInspectorTitle = panel
                                        ? QCoreApplication::translate("StatusDisplay", "Attach Inspector")
                                        : QCoreApplication::translate("StatusDisplay", "Tear Off Inspector");
    display.resizeDrawerEnabled = panel;
    display.appearance = appearanceTools(*item);
    if (!multiple)
        display.item = itemTools(item);
    return display;
}

} // namespace tardigo
