#include "document/minder_hand_off.h"

#include "document/tardigo_document.h"
#include "model/clock.h"
#include "model/core_log.h"
#include "model/item_codes.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "model/tree_operations.h"
#include "outline/inspector_view.h"

#include <utility>

namespace tardigo {

namespace {

QString textOf(const Dict& node, const QString& key) {
    const QString* text = node.value(key).asString();
    return text ? *text : QStringLiteral("(null)");
}

} // namespace

void MinderHandOff::minderWithNode(const NodePtr& node, const QString& message, ItemStatus status) {
    // The minder hands over the document's own node, found where it stands; a node from elsewhere
    // is matched against the whole tree.
    NodePtr found = _places.find(_document.data(), node.get());
    if (!found && node)
        found = findIdenticalChild(_document.data(), *node);
    if (!found) {
        qCWarning(lcDocument).noquote()
            << QStringLiteral("TardigoDocument -minder: failed to find node %1 %2")
                   .arg(node ? textOf(*node, key::name) : QStringLiteral("(null)"),
                        node ? textOf(*node, key::dateCreated) : QStringLiteral("(null)"));
        return;
    }
    qCDebug(lcDocument) << "notice for" << textOf(*found, key::name) << message;
    // In UTC: a pass may announce thousands of items, and the local time zone is not needed here.
    const Value now = Date{double(Clock::nowMSecsSinceEpoch() - Date::referenceUnixMSecs) / 1000.0};
    if (status == ItemStatusDue) {
        found->set(key::minderTimestampTodo, now);
    } else if (status == ItemStatusReminder) {
        const NodePtr previous = std::exchange(_currentReminderItem, found);
        // Their icons change with no value of theirs: their rows are drawn again.
        if (previous && previous != found)
            emit _document.itemChanged(previous, {key::icon});
        emit _document.itemChanged(found, {key::icon});
        TardigoDocument* document = &_document;
        _document.performAfter(_reminderClearInterval,
                               [document] { document->minderHandOff().clearCurrentReminderItem(); });
        found->set(key::minderTimestampReminder, now);
    } else {
        qCWarning(lcDocument) << "not updating minder timestamps";
    }
    const std::optional<QDateTime> given = parseStoredDate(node->value(key::due));
    const std::optional<QDateTime> own = parseStoredDate(found->value(key::due));
    if (given && own && *own < *given) {
        found->set(key::due, node->value(key::due));
        found->set(key::completion, Value::float32(0.0));
        emit _document.itemChanged(found, {key::due, key::completion});
        _document.updateUI();
    }
    _document.countChange(TardigoDocument::ChangeKind::ByMinder);
}

void MinderHandOff::clearCurrentReminderItem() {
    if (const NodePtr item = std::exchange(_currentReminderItem, nullptr))
        emit _document.itemChanged(item, {key::icon});
}

void MinderHandOff::minderViewItem(const NodePtr& context) {
    if (!context)
        return;
    const Number* status = context->value(key::nodeStatus).asNumber();
    const NodePtr found = findIdenticalChild(_document.data(), *context);
    if (!found) {
        qCWarning(lcDocument).noquote()
            << QStringLiteral("TardigoDocument -minderViewItem: failed to find node for %1")
                   .arg(textOf(*context, key::name));
        return;
    }
    _document.revealItems({found});
    InspectorView* inspector = _document.inspectorView();
    if (!inspector || !status)
        return;
    if (status->toInt64() == ItemStatusDue)
        inspector->showToolWithId(InspectorToolDueDate);
    else if (status->toInt64() == ItemStatusReminder)
        inspector->showToolWithId(InspectorToolReminder);
}

bool MinderHandOff::remindAgain(const NodePtr& context, RemindAgain when) {
    const NodePtr found = context ? findIdenticalChild(_document.data(), *context) : nullptr;
    if (!found) {
        qCWarning(lcDocument).noquote()
            << QStringLiteral("the item to remind again is no longer in %1: %2")
                   .arg(_document.fileName(),
                        context ? textOf(*context, key::name) : QStringLiteral("(null)"));
        return false;
    }
    const QDateTime now = Clock::now();
    const ReminderFromNow reminder = reminderFromNow(when, now);
    _document.inspectorCommands().remindFromNow(found, reminder.length, reminder.unit);
    const QDateTime at = now.addSecs(qint64(secondsIntervalWith(reminder.length, reminder.unit)));
    qCInfo(lcDocument).noquote() << QStringLiteral("\"%1\" reminds again at %2")
                                        .arg(textOf(*found, key::name), at.toString(Qt::ISODate));
    return true;
}

} // namespace tardigo
