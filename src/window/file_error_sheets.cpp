#include "window/file_error_sheets.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace tardigo {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("FileErrorSheets", text);
}

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
        return sheet(tr("“%1” could not be found.").arg(name),
                     tr("It may have been moved, renamed or deleted."), reason);
    if (!file.isFile())
        return sheet(tr("“%1” is not a file.").arg(name),
                     tr("Choose a Tardigo list, a file ending in .todo."), reason);
    if (!file.isReadable())
        return sheet(tr("You may not read “%1”.").arg(name),
                     tr("Ask the owner of the file to let you read it, or open a copy of it."), reason);
    if (isLegacy)
        return sheet(tr("“%1” could not be converted.").arg(name),
                     tr("It is a list from Tardigo 1.x that this version cannot read: it may be damaged, or "
                        "it was saved by a newer version."),
                     reason);
    return sheet(
        tr("This file is not a Tardigo list."),
        tr("“%1” could not be opened: it is another kind of file, or a list that was damaged.").arg(name),
        reason);
}

AlertSheet saveErrorSheet(const QString& path, const QString& reason) {
    return sheet(tr("“%1” could not be saved.").arg(QFileInfo(path).fileName()),
                 tr("Your changes are still here, and the file on disk is as it was. Check that the disk has "
                    "room and that you may write to its folder, then save again, or choose Save As to save "
                    "the list somewhere else."),
                 reason);
}

AlertSheet exportErrorSheet(const QString& path, const QString& reason) {
    return sheet(tr("“%1” could not be written.").arg(QFileInfo(path).fileName()),
                 tr("Check that the disk has room and that you may write to its folder, then export "
                    "again."),
                 reason);
}

} // namespace tardigo
