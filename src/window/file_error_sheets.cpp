#include "window/file_error_sheets.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tardigo {

namespace {

AlertSheet sheet(const QString& title, const QString& message, const QString& reason) {
    AlertSheet plain;
    plain.title = title;
    plain.message = message;
    plain.details = reason;
    return plain;
}

} // namespace

AlertSheet openErrorSheet(const QString& path, const QString& reason, bool isLegacy) {
    const QFileInfo file(path);
    const QString name = file.fileName();
    if (!file.exists())
        return sheet(
            QCoreApplication::translate("FileErrorSheets", "“%1” could not be found.").arg(name),
            QCoreApplication::translate("FileErrorSheets", "It may have been moved, renamed or deleted."),
            reason);
    if (!file.isFile())
        return sheet(
            QCoreApplication::translate("FileErrorSheets", "“%1” is not a file.").arg(name),
            QCoreApplication::translate("FileErrorSheets", "Choose a Tardigo list, a file ending in .todo."),
            reason);
    if (!file.isReadable())
        return sheet(
            QCoreApplication::translate("FileErrorSheets", "You may not read “%1”.").arg(name),
            QCoreApplication::translate(
                "FileErrorSheets", "Ask the owner of the file to let you read it, or open a copy of it."),
            reason);
    if (isLegacy)
        return sheet(QCoreApplication::translate("FileErrorSheets", "“%1” could not be converted.").arg(name),
                     QCoreApplication::translate(
                         "FileErrorSheets",
                         "It is a list from Tardigo 1.x that this version cannot read: it may be damaged, or "
                         "it was saved by a newer version."),
                     reason);
    return sheet(QCoreApplication::translate("FileErrorSheets", "This file is not a Tardigo list."),
                 QCoreApplication::translate(
                     "FileErrorSheets",
                     "“%1” could not be opened: it is another kind of file, or a list that was damaged.")
                     .arg(name),
                 reason);
}

AlertSheet saveErrorSheet(const QString& path, const QString& reason) {
    return sheet(
        QCoreApplication::translate("FileErrorSheets", "“%1” could not be saved.")
            .arg(QFileInfo(path).fileName()),
        QCoreApplication::translate(
            "FileErrorSheets",
            "Your changes are still here, and the file on disk is as it was. Check that the disk has "
            "room and that you may write to its folder, then save again, or choose Save As to save "
            "the list somewhere else."),
        reason);
}

AlertSheet exportErrorSheet(const QString& path, const QString& reason) {
    return sheet(QCoreApplication::translate("FileErrorSheets", "“%1” could not be written.")
                     .arg(QFileInfo(path).fileName()),
                 QCoreApplication::translate(
                     "FileErrorSheets",
                     "Check that the disk has room and that you may write to its folder, then export "
                     "again."),
                 reason);
}

} // namespace tardigo
