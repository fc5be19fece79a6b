// The notes: DESCRIPTION as plain text for every client, the rich text itself beside it.
#include "ical/ical_properties.h"
#include "ical/todo_field.h"
#include "model/keys.h"
#include "rich_text/notes_text.h"

namespace tardigo {

namespace {

constexpr const char* kRichNotes = "X-TARDIGO-NOTES";

QString withLineFeeds(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
}

/// Plain text as it comes back from a client: line ends of any kind, no white space at either end.
QString comparable(const QString& plain) {
    return withLineFeeds(plain).trimmed();
}

void writeNotes(const TodoContent& content, icalcomponent* todo) {
    const QByteArray* notes = content.item->value(key::notes).asData();
    if (!notes)
        return;
    const std::optional<QString> plain = notesPlainText(*notes);
    if (plain && !plain->isEmpty())
        addProperty(todo, icalproperty_new_description(plain->toUtf8().constData()));
    addXProperty(todo, kRichNotes, QString::fromLatin1(notes->toBase64()));
}

void readNotes(icalcomponent* todo, TodoContent& content) {
    icalproperty* descriptionProperty = firstProperty(todo, ICAL_DESCRIPTION_PROPERTY);
    const QString description =
        descriptionProperty ? icalString(icalproperty_get_description(descriptionProperty)) : QString();
    if (const std::optional<QString> rich = xPropertyText(todo, kRichNotes)) {
        const auto decoded =
            QByteArray::fromBase64Encoding(rich->toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        // The rich text stands while the plain text beside it is what it says; an edited
        // DESCRIPTION replaces it.
        if (decoded && !decoded.decoded.isEmpty() &&
            comparable(notesPlainText(*decoded).value_or(QString())) == comparable(description)) {
            content.item->set(key::notes, Value::data(*decoded));
            return;
        }
    }
    if (description.isEmpty())
        return;
    TextRun run;
    run.text = withLineFeeds(description);
    content.item->set(key::notes, Value::data(encodeNotes(RichText::fromRuns({run}))));
}

void removeNotes(icalcomponent* todo) {
    removeProperties(todo, ICAL_DESCRIPTION_PROPERTY);
    removeXProperties(todo, kRichNotes);
}

} // namespace

TodoField notesField() {
    return {writeNotes, readNotes, removeNotes};
}

} // namespace tardigo
