#include "print/gui/print_controller.h"

#include "model/keys.h"
#include "platform/settings.h"

#include <QCheckBox>
#include <QVBoxLayout>

namespace tardigo {

PrintController::PrintController(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("printAccessoryView"));
    // The print dialog names the tab after the widget's title.
    setWindowTitle(tr("List"));
    auto* layout = new QVBoxLayout(this);
    checkboxButton = addOption(tr("Print &check boxes"), pref::printCheckboxes,
                               {&Settings::printCheckboxes, &Settings::setPrintCheckboxes});
    iconsButton =
        addOption(tr("Print &icons"), pref::printIcons, {&Settings::printIcons, &Settings::setPrintIcons});
    notesButton =
        addOption(tr("Print &notes"), pref::printNotes, {&Settings::printNotes, &Settings::setPrintNotes});
    for (QCheckBox* option : {checkboxButton, iconsButton, notesButton})
        layout->addWidget(option);
    layout->addStretch();
}

QCheckBox* PrintController::addOption(const QString& title, const QString& key, const SettingsFlag& option) {
    auto* box = new QCheckBox(title, this);
    box->setObjectName(key);
    box->setAccessibleName(QString(title).remove(u'&'));
    box->setChecked(option.value());
    connect(box, &QCheckBox::toggled, this, [option](bool on) { option.setValue(on); });
    return box;
}

} // namespace tardigo
