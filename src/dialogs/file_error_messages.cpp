#include "dialogs/file_error_messages.h"

#include "sync/sync_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tardigo {

namespace {

Message plainMessage(const QString& title, const QString& text, const QString& reason) {
    Message plain;
    plain.title = title;
    plain.text = text;
    plain.details = reason;
    return plain;
}

QString listName(const QString& listPath) {
    return QFileInfo(listPath).fileName();
}

QString syncPairDetails(const QString& listPath, const QString& folder) {
    return QCoreApplication::translate("FileErrorMessages", "List: %1\nSync folder: %2")
        .arg(QDir::toNativeSeparators(listPath), QDir::toNativeSeparators(folder));
}

} // namespace

Message openErrorMessage(const QString& path, const QString& reason, bool isLegacy) {
    const QFileInfo file(path);
    const QString name = file.fileName();
    if (!file.exists())
        return plainMessage(
            QCoreApplication::translate("FileErrorMessages", "“%1” could not be found.").arg(name),
            QCoreApplication::translate("FileErrorMessages", "It may have been moved, renamed or deleted."),
            reason);
    if (!file.isFile())
        return plainMessage(QCoreApplication::translate("FileErrorMessages", "“%1” is not a file.").arg(name),
                            QCoreApplication::translate("FileErrorMessages",
                                                        "Choose a Tardigo list, a file ending in .todo."),
                            reason);
    if (!file.isReadable())
        return plainMessage(
            QCoreApplication::translate("FileErrorMessages", "You may not read “%1”.").arg(name),
            QCoreApplication::translate(
                "FileErrorMessages", "Ask the owner of the file to let you read it, or open a copy of it."),
            reason);
    if (isLegacy)
        return plainMessage(
            QCoreApplication::translate("FileErrorMessages", "“%1” could not be converted.").arg(name),
            QCoreApplication::translate(
                "FileErrorMessages",
                "It is a list from Tardigo 1.x that this version cannot read: it may be damaged, or "
                "it was saved by a newer version."),
            reason);
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages", "This file is not a Tardigo list."),
        QCoreApplication::translate(
            "FileErrorMessages",
            "“%1” could not be opened: it is another kind of file, or a list that was damaged.")
            .arg(name),
        reason);
}

Message saveErrorMessage(const QString& path, const QString& reason) {
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages", "“%1” could not be saved.")
            .arg(QFileInfo(path).fileName()),
        QCoreApplication::translate(
            "FileErrorMessages",
            "Your changes are still here, and the file on disk is as it was. Check that the disk has "
            "room and that you may write to its folder, then save again, or choose Save As to save "
            "the list somewhere else."),
        reason);
}

Message exportErrorMessage(const QString& path, const QString& reason) {
    return plainMessage(QCoreApplication::translate("FileErrorMessages", "“%1” could not be written.")
                            .arg(QFileInfo(path).fileName()),
                        QCoreApplication::translate(
                            "FileErrorMessages",
                            "Check that the disk has room and that you may write to its folder, then export "
                            "again."),
                        reason);
}

Message mergeRefusalMessage(const QString& path, FileMerge::Outcome why, const QString& reason) {
    QString cause;
    switch (why) {
    case FileMerge::Outcome::Legacy:
        cause = QCoreApplication::translate("FileErrorMessages",
                                            "The other program saved it as a Tardigo 1.x list, which "
                                            "cannot be merged.");
        break;
    case FileMerge::Outcome::TooDeep:
        cause = QCoreApplication::translate("FileErrorMessages",
                                            "Merged, its items would nest deeper than a list can hold.");
        break;
    case FileMerge::Outcome::Unsound:
        cause = QCoreApplication::translate(
            "FileErrorMessages", "Tardigo could not merge the two versions without losing an item.");
        break;
    case FileMerge::Outcome::Merged:
    case FileMerge::Outcome::Unreadable:
        cause = QCoreApplication::translate("FileErrorMessages",
                                            "The file on disk could not be read as a Tardigo list.");
        break;
    }
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages", "“%1” could not be merged.").arg(listName(path)),
        cause + u' ' +
            QCoreApplication::translate(
                "FileErrorMessages",
                "Nothing was changed: your version is still here, and the file is as the other "
                "program left it. Save to choose between keeping yours and reloading theirs."),
        reason);
}

Message mergeConflictMessage(const QString& path, const QStringList& names) {
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages",
                                    "Some items of “%1” were changed both here and on disk.")
            .arg(listName(path)),
        QCoreApplication::translate(
            "FileErrorMessages",
            "Both versions of each are kept: yours stays in its place, and the one on disk is "
            "right after it, named “(conflict copy)”. Keep the one you want and delete the "
            "other, then save the list."),
        names.join(u'\n'));
}

Message syncFailureMessage(const QString& listPath, const QString& folder, const QString& reason) {
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages", "“%1” could not be synced.").arg(listName(listPath)),
        reason + QStringLiteral("\n\n") +
            (isServerLocation(folder)
                 ? QCoreApplication::translate(
                       "FileErrorMessages",
                       "Nothing was changed in the list or in its calendar; what changed here goes out at "
                       "the next sync that reaches the server. Choose File > Sync Now to try at once, or "
                       "File > Sync Settings… to choose another calendar.")
                 : QCoreApplication::translate(
                       "FileErrorMessages",
                       "Nothing was changed in the list or in its folder. Tardigo tries again at the next "
                       "sync; choose File > Sync Now to try at once, or File > Sync Settings… to choose "
                       "another folder.")),
        syncPairDetails(listPath, folder));
}

Message syncUnreachableMessage(const QString& listPath, const QString& folder, const QString& reason,
                               const QStringList& failures) {
    QString details = syncPairDetails(listPath, folder);
    if (!failures.isEmpty())
        details += QStringLiteral("\n\n") + failures.join(u'\n');
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages",
                                    "“%1” was not synced: the server could not be reached.")
            .arg(listName(listPath)),
        reason + QStringLiteral("\n\n") +
            QCoreApplication::translate(
                "FileErrorMessages",
                "Nothing was lost: the list keeps every change, and what did not reach the server "
                "goes out at the next sync that does. Choose File > Sync Now to try again once "
                "the server is back."),
        details);
}

Message syncConflictMessage(const QString& listPath, const QStringList& names) {
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages",
                                    "Some items of “%1” were changed both here and elsewhere.")
            .arg(listName(listPath)),
        QCoreApplication::translate(
            "FileErrorMessages",
            "Both versions of each are kept: the one changed last stays in its place, and the other "
            "is beside it, named “(conflict copy)”. Keep the one you want and delete the other."),
        names.join(u'\n'));
}

Message syncKeptRulesMessage(const QString& listPath, const QStringList& names) {
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages",
                                    "Some items of “%1” repeat in a way Tardigo cannot show.")
            .arg(listName(listPath)),
        QCoreApplication::translate(
            "FileErrorMessages",
            "Another program gave them a repeat that no Tardigo period expresses, such as every "
            "three days. They are in the list without a repeat, and the other program keeps theirs."),
        names.join(u'\n'));
}

Message syncWriteFailureMessage(const QString& listPath, const QString& folder, const QStringList& failures) {
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages", "Some files of “%1” could not be written.")
            .arg(listName(listPath)),
        QCoreApplication::translate(
            "FileErrorMessages",
            "The sync folder “%1” did not take them: it may be full, or you may not write to it. The list "
            "is whole, and their items are written at the next sync. Show Details names each file.")
            .arg(QDir::toNativeSeparators(folder)),
        failures.join(u'\n'));
}

Message syncBindQuestion(const QString& listPath, const QString& folder) {
    Message question = plainMessage(
        QCoreApplication::translate("FileErrorMessages", "Sync “%1” with the folder it names?")
            .arg(listName(listPath)),
        QCoreApplication::translate(
            "FileErrorMessages",
            "The list names the sync folder “%1”, but it was never synced with it on this computer: it may "
            "be "
            "a copy of another list, or a list from someone else. Syncing changes the files in that folder.")
            .arg(QDir::toNativeSeparators(folder)),
        syncPairDetails(listPath, folder));
    question.acceptButton = QCoreApplication::translate("FileErrorMessages", "Sync");
    question.rejectButton = QCoreApplication::translate("FileErrorMessages", "Don’t Sync");
    question.rejectIsDefault = true;
    return question;
}

Message syncRemovalQuestion(const QString& listPath, const QString& folder, int count, int lost, int synced) {
    // A calendar is reached through its server, which no unmounted drive hides.
    const bool calendar = isServerLocation(folder);
    QString title;
    if (calendar && lost == synced)
        title =
            QCoreApplication::translate("FileErrorMessages", "The calendar of “%1” holds none of its to-dos.")
                .arg(listName(listPath));
    else if (calendar)
        title = QCoreApplication::translate("FileErrorMessages",
                                            "The calendar of “%1” has lost %2 of its %3 to-dos.")
                    .arg(listName(listPath))
                    .arg(lost)
                    .arg(synced);
    else if (lost == synced)
        title = QCoreApplication::translate("FileErrorMessages",
                                            "The sync folder of “%1” holds none of its to-dos.")
                    .arg(listName(listPath));
    else
        title = QCoreApplication::translate("FileErrorMessages",
                                            "The sync folder of “%1” has lost %2 of its %3 to-dos.")
                    .arg(listName(listPath))
                    .arg(lost)
                    .arg(synced);
    const QString message =
        calendar
            ? QCoreApplication::translate(
                  "FileErrorMessages",
                  "Another program may have emptied the calendar %1, and nothing was changed. Keep the "
                  "items, or remove them from the list (%2 in all) if their to-dos were deleted on purpose.")
            : QCoreApplication::translate(
                  "FileErrorMessages",
                  "“%1” may be on a drive that is not mounted, or it was emptied, and nothing was changed. "
                  "Keep the items and sync when the folder is back, or remove them from the list (%2 in "
                  "all) if their to-dos were deleted on purpose.");
    Message question = plainMessage(title, message.arg(QDir::toNativeSeparators(folder)).arg(count),
                                    syncPairDetails(listPath, folder));
    question.acceptButton = QCoreApplication::translate("FileErrorMessages", "Remove Items");
    question.rejectButton = QCoreApplication::translate("FileErrorMessages", "Keep Items");
    question.rejectIsDefault = true;
    question.isCritical = true;
    return question;
}

Message syncPassedOverMessage(const QString& folder, const QStringList& problems) {
    return plainMessage(
        QCoreApplication::translate("FileErrorMessages",
                                    "Some files in the sync folder “%1” were passed over.")
            .arg(QDir::toNativeSeparators(folder)),
        QCoreApplication::translate(
            "FileErrorMessages",
            "Their to-dos wait for the next sync. Show Details tells what is wrong with each file: "
            "mend or remove it there, then sync again."),
        problems.join(u'\n'));
}

} // namespace tardigo
