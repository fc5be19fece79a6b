#include "dialogs/dialog_service.h"

#include "dialogs/message_box_fitting.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <deque>

namespace tardigo {

namespace {

struct Script {
    bool on = false;
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> fileNames;
    QStringList shown;
};

Script& script() {
    static Script instance;
    return instance;
}

QString listFilter() {
    return QCoreApplication::translate("DialogService", "Tardigo lists (*.todo)");
}

} // namespace

QMessageBox::StandardButton
DialogService::question(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                        const QString& informativeText, QMessageBox::StandardButtons buttons,
                        QMessageBox::StandardButton defaultButton,
                        const std::map<QMessageBox::StandardButton, QString>& buttonTexts) {
    return showMessageBox(parent, icon, title, text, informativeText, QString(), buttons, defaultButton,
                          buttonTexts);
}

void DialogService::warning(QWidget* parent, const QString& title, const QString& text,
                            const QString& informativeText) {
    showMessageBox(parent, QMessageBox::Warning, title, text, informativeText, QString(), QMessageBox::Ok,
                   QMessageBox::Ok, {});
}

void DialogService::error(QWidget* parent, const Message& message) {
    showMessageBox(parent, QMessageBox::Warning, message.title, message.title, message.text, message.details,
                   QMessageBox::Ok, QMessageBox::Ok, {});
}

QMessageBox::StandardButton
DialogService::showMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                              const QString& text, const QString& informativeText, const QString& details,
                              QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton,
                              const std::map<QMessageBox::StandardButton, QString>& buttonTexts) {
    if (script().on) {
        QStringList lines{text};
        for (const QString& more : {informativeText, details})
            if (!more.isEmpty())
                lines.append(more);
        script().shown.append(lines.join(u'\n'));
        if (script().answers.empty())
            return defaultButton;
        const QMessageBox::StandardButton answer = script().answers.front();
        script().answers.pop_front();
        return answer;
    }
    QMessageBox box(icon, QString(), text, buttons, parent);
    setFittingWindowTitle(box, title);
    box.setInformativeText(informativeText);
    box.setDetailedText(details);
    for (const auto& [button, buttonText] : buttonTexts)
        if (QAbstractButton* shown = box.button(button))
            shown->setText(buttonText);
    box.setDefaultButton(defaultButton);
    box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    giveReadingWidth(box);
    return QMessageBox::StandardButton(box.exec());
}

bool DialogService::agreesToReplace(QWidget* parent, const QString& path) {
    const QFileInfo file(path);
    return question(parent, QMessageBox::Warning, tr("Replace File"),
                    tr("“%1” already exists. Do you want to replace it?").arg(file.fileName()),
                    tr("A file with the same name already exists in “%1”. Replacing it overwrites its "
                       "contents.")
                        .arg(QDir::toNativeSeparators(file.absolutePath())),
                    QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel,
                    {{QMessageBox::Yes, tr("Replace")}}) == QMessageBox::Yes;
}

QString DialogService::openFileName(QWidget* parent, const QString& directory) {
    if (script().on)
        return nextScriptedFileName();
    return QFileDialog::getOpenFileName(parent, tr("Open"), directory, listFilter());
}

QString DialogService::saveFileName(QWidget* parent, const QString& suggestedPath) {
    QString path = savePanel(parent, tr("Save As"), suggestedPath, listFilter(), QStringLiteral("todo"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".todo");
    return path;
}

QString DialogService::exportFileName(QWidget* parent, const QString& suggestedPath, const QString& filter,
                                      const QString& extension) {
    QString path = savePanel(parent, tr("Export"), suggestedPath, filter, extension);
    if (path.isEmpty() || QFileInfo(path).suffix() == extension)
        return path;
    // The dialog asked about the name as typed, not about this one.
    path += u'.' + extension;
    return !QFileInfo::exists(path) || agreesToReplace(parent, path) ? path : QString();
}

QString DialogService::imageFileName(QWidget* parent) {
    if (script().on)
        return nextScriptedFileName();
    return QFileDialog::getOpenFileName(
        parent, tr("Add Icon"), QDir::homePath(),
        tr("Images (*.png *.jpg *.jpeg *.tiff *.tif *.pdf *.eps *.gif *.pict *.bmp)"));
}

QString DialogService::folderName(QWidget* parent, const QString& title, const QString& directory) {
    if (script().on)
        return nextScriptedFileName();
    return QFileDialog::getExistingDirectory(parent, title, directory);
}

QString DialogService::savePanel(QWidget* parent, const QString& title, const QString& suggestedPath,
                                 const QString& filter, const QString& extension) {
    if (script().on)
        return nextScriptedFileName();
    QFileDialog dialog(parent, title, suggestedPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(extension);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        return dialog.selectedFiles().constFirst();
    return QString();
}

QString DialogService::nextScriptedFileName() {
    if (script().fileNames.empty())
        return QString();
    const QString path = script().fileNames.front();
    script().fileNames.pop_front();
    return path;
}

void DialogService::setScripted(bool scripted) {
    script() = Script{};
    script().on = scripted;
}

void DialogService::queueAnswer(QMessageBox::StandardButton answer) {
    script().answers.push_back(answer);
}

void DialogService::queueFileName(const QString& path) {
    script().fileNames.push_back(path);
}

QStringList DialogService::takeShownTexts() {
    return std::exchange(script().shown, QStringList());
}

} // namespace tardigo
