#include "print/gui/print_controller.h"

#include "model/keys.h"
#include "platform/user_defaults.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace tardigo {

PrintController::PrintController(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("printAccessoryView"));
    // The print dialog names the tab after the widget's title.
    setWindowTitle(tr("List"));
    auto* layout = new QVBoxLayout(this);
    checkboxButton = addOption(tr("Print &check boxes"), pref::printCheckboxes);
    iconsButton = addOption(tr("Print &icons"), pref::printIcons);
    notesButton = addOption(tr("Print &notes"), pref::printNotes);
    for (QCheckBox* option : {checkboxButton, iconsButton, notesButton})
        layout->addWidget(option);
    layout->addStretch();
}

QCheckBox* PrintController::addOption(const QString& title, const QString& prefKey) {
    auto* option = new QCheckBox(title, this);
    option->setObjectName(prefKey);
    option->setAccessibleName(QString(title).remove(u'&'));
    option->setChecked(UserDefaults::standard().boolForKey(prefKey));
    connect(option, &QCheckBox::toggled, this,
            [this, option, prefKey] { printOptionsAction(*option, prefKey); });
    return option;
}

void PrintController::printOptionsAction(const QCheckBox& sender, const QString& prefKey) {
    UserDefaults::standard().setBool(prefKey, sender.isChecked());
}

} // namespace tardigo
