#include "window/help_commands.h"

#include "dialogs/dialog_service.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace tardigo {

namespace {
const QString kGuide = QStringLiteral("tardigo/guide.html");
// Set by whoever publishes Tardigo; feedback goes there.
const QString kFeedbackAddress = QStringLiteral("feedback@tardigo.example");

QStringList guideCandidates() {
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {QStandardPaths::locate(QStandardPaths::GenericDataLocation, kGuide),
            // Installed under any prefix, and run from the build tree.
            programFolder + QStringLiteral("/../share/") + kGuide,
            programFolder + QStringLiteral("/packaging/guide.html")};
}
} // namespace

QString HelpCommands::userGuidePath() {
    for (const QString& candidate : guideCandidates())
        if (!candidate.isEmpty() && QFileInfo(candidate).isFile())
            return QFileInfo(candidate).canonicalFilePath();
    return QString();
}

void HelpCommands::showHelp(QWidget* parent) {
    const QString guide = userGuidePath();
    if (!guide.isEmpty() && QDesktopServices::openUrl(QUrl::fromLocalFile(guide)))
        return;
    DialogService::warning(
        parent, tr("Tardigo Help"),
        guide.isEmpty() ? tr("The user guide is not installed.")
                        : tr("No web browser opened the user guide."),
        guide.isEmpty() ? tr("Tardigo looked for %1 in the data folders of this system. Installing the "
                             "tardigo package puts it there.")
                              .arg(kGuide)
                        : tr("Open %1 in a web browser to read it.").arg(guide));
}

QUrl HelpCommands::feedbackUrl(const QString& version) {
    // Every space, those in the version too, written as %20.
    const QString subject = QStringLiteral("Tardigo %1 Feedback").arg(version);
    return QUrl(QStringLiteral("mailto:%1?subject=%2")
                    .arg(kFeedbackAddress, QString(subject).replace(u' ', QStringLiteral("%20"))));
}

void HelpCommands::sendFeedback() {
    QDesktopServices::openUrl(feedbackUrl(QCoreApplication::applicationVersion()));
}

void HelpCommands::showAbout(QWidget* parent) {
    QMessageBox::about(parent, tr("About Tardigo"),
                       tr("<h3>Tardigo %1</h3><p>To-do lists as outlines.</p>"
                          "<p>Copyright © The Tardigo developers</p>"
                          "<p>Tardigo is free software under the GNU General Public License, version 3 or "
                          "any later version (GPL-3.0-or-later). It comes with absolutely no "
                          "warranty.</p>")
                           .arg(QCoreApplication::applicationVersion().toHtmlEscaped()));
}

} // namespace tardigo
