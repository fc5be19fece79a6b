#include "window/dialog_service.h"

#include "platform/localized.h"
#include "window/message_box_width.h"

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
    return localized(QStringLiteral("Tardigo lists (*.todo)"));
}

} // namespace

QMessageBox::StandardButton DialogService::question(QWidget* parent, QMessageBox::Icon icon,
                                                    const QString& title, const QString& text,
                                                    const QString& informativeText,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) {
    if (script().on) {
        script().shown.append(informativeText.isEmpty() ? text : text + u'\n' + informativeText);
        if (script().answers.empty())
            return defaultButton;
        const QMessageBox::StandardButton answer = script().answers.front();
        script().answers.pop_front();
        return answer;
    }
    QMessageBox box(icon, title, text, buttons, parent);
    box.setInformativeText(informativeText);
    box.setDefaultButton(defaultButton);
    box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    giveReadingWidth(box);
    return QMessageBox::StandardButton(box.exec());
}

void DialogService::warning(QWidget* parent, const QString& title, const QString& text,
                            const QString& informativeText) {
    question(parent, QMessageBox::Warning, title, text, informativeText, QMessageBox::Ok, QMessageBox::Ok);
}

QString DialogService::openFileName(QWidget* parent, const QString& directory) {
    if (script().on) {
        if (script().fileNames.empty())
            return QString();
        const QString path = script().fileNames.front();
        script().fileNames.pop_front();
        return path;
    }
    return QFileDialog::getOpenFileName(parent, localized(QStringLiteral("Open")), directory, listFilter());
}

QString DialogService::saveFileName(QWidget* parent, const QString& suggestedPath) {
    QString path;
    if (script().on) {
        if (!script().fileNames.empty()) {
            path = script().fileNames.front();
            script().fileNames.pop_front();
        }
    } else {
        QFileDialog dialog(parent, localized(QStringLiteral("Save As")), suggestedPath, listFilter());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("todo"));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    }
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".todo");
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
