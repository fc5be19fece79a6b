#pragma once

#include "alerts/message.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <map>

namespace tardigo {

/// The blocking dialogs of the application: questions, warnings and file choosers. Tests switch
/// it to scripted answers, so that no dialog ever blocks: each call takes the next queued answer,
/// or the default one, and is recorded.
class DialogService {
    Q_DECLARE_TR_FUNCTIONS(DialogService)

public:
    /// A modal question, window-modal on `parent`; answers the button chosen. `buttonTexts` names
    /// buttons after what they do instead of their standard titles.
    static QMessageBox::StandardButton
    question(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
             const QString& informativeText, QMessageBox::StandardButtons buttons,
             QMessageBox::StandardButton defaultButton,
             const std::map<QMessageBox::StandardButton, QString>& buttonTexts = {});
    /// A modal warning with an OK button.
    static void warning(QWidget* parent, const QString& title, const QString& text,
                        const QString& informativeText);
    /// A failure told in plain words, window-modal on `parent`, the technical reason behind "Show Details".
    static void error(QWidget* parent, const Message& message);
    /// Asks whether the file at path, which exists, may be replaced, as a save dialog does.
    static bool agreesToReplace(QWidget* parent, const QString& path);
    /// The list file to open; empty when the user cancelled.
    static QString openFileName(QWidget* parent, const QString& directory);
    /// Where to save a list; empty when the user cancelled.
    static QString saveFileName(QWidget* parent, const QString& suggestedPath);
    /// Where to write an export of the required extension (added when missing); empty when the user
    /// cancelled. A file that exists is replaced only when the user agreed, in the dialog or after it.
    static QString exportFileName(QWidget* parent, const QString& suggestedPath, const QString& filter,
                                  const QString& extension);
    /// An image file to use as an icon; empty when the user cancelled.
    static QString imageFileName(QWidget* parent);
    /// A folder that exists; empty when the user cancelled.
    static QString folderName(QWidget* parent, const QString& title, const QString& directory);

    /// Scripted answers instead of dialogs, for tests.
    static void setScripted(bool scripted);
    static void queueAnswer(QMessageBox::StandardButton answer);
    static void queueFileName(const QString& path);
    /// The questions and warnings shown since the last call, oldest first: each text, and on further
    /// lines its informative text and its details when it has them.
    static QStringList takeShownTexts();

private:
    static QMessageBox::StandardButton
    showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                   const QString& informativeText, const QString& details,
                   QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                   const std::map<QMessageBox::StandardButton, QString>& buttonTexts);
    static QString savePanel(QWidget* parent, const QString& title, const QString& suggestedPath,
                             const QString& filter, const QString& extension);
    static QString nextScriptedFileName();
};

} // namespace tardigo
