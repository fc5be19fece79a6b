#pragma once

#include <QString>

namespace tardigo {

/// Every key of an item node, the root node and a history entry, written once.
namespace key {
inline const QString name = QStringLiteral("name");
inline const QString children = QStringLiteral("children");
inline const QString dateCreated = QStringLiteral("date created");
inline const QString completion = QStringLiteral("completion");
inline const QString dateCompleted = QStringLiteral("date completed");
inline const QString due = QStringLiteral("due");
inline const QString dateDueRepeatPeriod = QStringLiteral("date due repeat period");
inline const QString category = QStringLiteral("category");
inline const QString notes = QStringLiteral("notes");
inline const QString icon = QStringLiteral("icon");
inline const QString thisIconOnly = QStringLiteral("this icon only");
inline const QString fontName = QStringLiteral("font name");
inline const QString fontSize = QStringLiteral("font size");
inline const QString color = QStringLiteral("color");
inline const QString history = QStringLiteral("history");
inline const QString reminderSet = QStringLiteral("reminder set");
inline const QString reminderTimeLength = QStringLiteral("reminder time length");
inline const QString reminderTimeUnit = QStringLiteral("reminder time unit");
inline const QString reminderMarkDueDate = QStringLiteral("reminder mark due date");
inline const QString reminderMarkNow = QStringLiteral("reminder mark now");
inline const QString reminderRepeat = QStringLiteral("reminder repeat");
inline const QString reminderMark = QStringLiteral("reminder mark");
inline const QString minderTimestampTodo = QStringLiteral("minder timestamp-todo");
inline const QString minderTimestampReminder = QStringLiteral("minder timestamp-reminder");
inline const QString docPath = QStringLiteral("doc path");
inline const QString nodeStatus = QStringLiteral("node status");
// A stable identity for calendars and sync, given the first time an item is exported or synced.
inline const QString uid = QStringLiteral("uid");
// A repeat rule read from iCalendar that no period expresses, kept to be written back as it came.
inline const QString importedRepeatRule = QStringLiteral("imported repeat rule");

// Root node
inline const QString documentType = QStringLiteral("document type");
inline const QString panelInspector = QStringLiteral("panel inspector");
inline const QString inspectorVisible = QStringLiteral("inspector visible");
inline const QString columnSortDirections = QStringLiteral("outlineview column sort directions hash");
inline const QString sortedColumn = QStringLiteral("outlineview sorted column");
inline const QString filterKey = QStringLiteral("filter key");
inline const QString filterValue = QStringLiteral("filter value");
inline const QString filterTerm = QStringLiteral("filter term");
inline const QString beta1DateFixedUp = QStringLiteral("beta 1 date fixed up");
// The vdir folder the list is kept in sync with.
inline const QString syncFolder = QStringLiteral("sync folder");

// History entry
inline const QString timestamp = QStringLiteral("timestamp");
inline const QString message = QStringLiteral("message");
} // namespace key

/// The document type of a list, which is also the root's "document type" marker.
inline const QString kTodoListType = QStringLiteral("Tardigo Todo List");

/// Preference keys, as the settings file stores them (read through Settings).
namespace pref {
inline const QString todoItemIcons = QStringLiteral("todoItemIcons");
inline const QString todoItemIconConditions = QStringLiteral("todoItemIconConditions");
inline const QString todoItemIconCategories = QStringLiteral("todoItemIconCategories");
inline const QString minderAlertDialog = QStringLiteral("minderAlertDialog");
inline const QString minderAlertSound = QStringLiteral("minderAlertSound");
inline const QString minderSpeak = QStringLiteral("minderSpeak");
inline const QString minderEmail = QStringLiteral("minderEmail");
inline const QString minderDesktopNotification = QStringLiteral("minderDesktopNotification");
inline const QString minderSendmailPath = QStringLiteral("minderSendmailPath");
inline const QString minderEmailAddress = QStringLiteral("minderEmailAddress");
inline const QString tardigoMinderEnabled = QStringLiteral("tardigoMinderEnabled");
inline const QString tardigoMinderRunIntervalMin = QStringLiteral("tardigoMinderRunIntervalMin");
inline const QString loadPreviousListOnStartup = QStringLiteral("loadPreviousListOnStartup");
inline const QString autoSave = QStringLiteral("autoSave");
inline const QString categoriesLocalScope = QStringLiteral("categoriesLocalScope");
inline const QString categoriesGlobalList = QStringLiteral("categoriesGlobalList");
inline const QString drawerSide = QStringLiteral("drawerSide");
inline const QString oldDays = QStringLiteral("oldDays");
inline const QString tardigoMinderDocs = QStringLiteral("tardigoMinderDocs");
inline const QString lastWindowCloseQuits = QStringLiteral("lastWindowCloseQuits");
inline const QString borderPulldowns = QStringLiteral("borderPulldowns");
inline const QString printCheckboxes = QStringLiteral("printCheckboxes");
inline const QString printIcons = QStringLiteral("printIcons");
inline const QString printNotes = QStringLiteral("printNotes");
inline const QString lastDocumentSet = QStringLiteral("lastDocumentSet");
inline const QString frequentRepeatHours = QStringLiteral("frequentRepeatHours");
inline const QString infrequentHours = QStringLiteral("infrequentHours");
// A command run before and after syncing every list, e.g. "vdirsyncer sync tasks"; empty: none.
inline const QString syncCommand = QStringLiteral("syncCommand");
// The list quick add adds to (a file path); empty: the first open list.
inline const QString quickAddList = QStringLiteral("quickAddList");
// Whether the agenda lists the items that have no due date, in a section of their own.
inline const QString agendaShowsUndated = QStringLiteral("agendaShowsUndated");
// Stand-ins for the platform's short date and time formats; empty means the locale's.
inline const QString userShortDateFormat = QStringLiteral("userShortDateFormat");
inline const QString userTimeFormat = QStringLiteral("userTimeFormat");
// The default font of items (the platform's user font): a PostScript-style name and a size in points.
inline const QString userFont = QStringLiteral("NSFont");
inline const QString userFontSize = QStringLiteral("NSFontSize");
// What the desktop application remembers: the toolbar's items, the recent lists, and per list (the
// prefix followed by the list's display name) its window frame and its outline's columns.
inline const QString toolbarItemIdentifiers = QStringLiteral("TardigoToolbar Items");
inline const QString recentDocuments = QStringLiteral("recentDocuments");
inline const QString windowFramePrefix = QStringLiteral("windowFrame ");
inline const QString outlineColumnsPrefix = QStringLiteral("outlineColumns ");
} // namespace pref

} // namespace tardigo
