#include "window/row_status_text.h"

#include "dates/agenda_section.h"
#include "model/clock.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "model/stored_date.h"
#include "rich_text/notes_text.h"

#include <QCoreApplication>
#include <QStringList>

namespace tardigo {

namespace {

class RowStatus {
    Q_DECLARE_TR_FUNCTIONS(RowStatus)
public:
    static QString of(const Dict& item);
};

QString RowStatus::of(const Dict& item) {
    QStringList parts;
    const bool done = isCompleted(item);
    if (done)
        parts << tr("Done");
    else
        parts << tr("Not done") << tr("%1 % complete").arg(completionPercentOf(item));
    if (isOverdue(item)) {
        parts << tr("overdue");
    } else if (const std::optional<QDateTime> due = parseStoredDate(item.value(key::due)); due && !done) {
        const AgendaSection section = agendaSection(*due, Clock::now());
        if (section == AgendaSection::Today || section == AgendaSection::Tomorrow)
            parts << tr("due soon");
    }
    // Only the start of the notes is read: they may be megabytes.
    if (const QByteArray* notes = item.value(key::notes).asData(); notes && notesHaveText(*notes))
        parts << tr("has notes");
    if (const Number* period = item.value(key::dateDueRepeatPeriod).asNumber();
        period && period->toInt64() > 0)
        parts << tr("repeats");
    if (flagOf(item, key::reminderSet))
        parts << tr("reminder set");
    return parts.join(QLatin1String(", "));
}

} // namespace

QString rowStatusText(const Dict& item) {
    return RowStatus::of(item);
}

} // namespace tardigo
