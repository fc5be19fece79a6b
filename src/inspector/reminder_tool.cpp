#include "inspector/reminder_tool.h"

#include "document/tardigo_document.h"
#include "model/item_codes.h"
#include "outline/status_display.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tardigo {

namespace {

const std::pair<int, const char*> kUnits[] = {
    {ReminderMinutes, QT_TRANSLATE_NOOP("tardigo::ReminderTool", "minutes")},
    {ReminderHours, QT_TRANSLATE_NOOP("tardigo::ReminderTool", "hours")},
    {ReminderDays, QT_TRANSLATE_NOOP("tardigo::ReminderTool", "days")},
    {ReminderWeeks, QT_TRANSLATE_NOOP("tardigo::ReminderTool", "weeks")},
    {ReminderMonths, QT_TRANSLATE_NOOP("tardigo::ReminderTool", "months")},
    {ReminderPeriods, QT_TRANSLATE_NOOP("tardigo::ReminderTool", "periods of 120 days")},
    {ReminderYears, QT_TRANSLATE_NOOP("tardigo::ReminderTool", "years")},
};

} // namespace

ReminderTool::ReminderTool(TardigoDocument& document, QWidget* parent)
    : ToolPage(parent), _document(document),
      _remind(named(new QCheckBox(tr("Re&mind me"), this), "remindCheckbox", tr("Remind me"))),
      _length(named(new QLineEdit(this), "remindLengthOfTimeText", tr("Length of time"))),
      _unit(named(new QComboBox(this), "remindTimeUnitPopup", tr("Unit of time"))),
      _beforeDueDate(named(new QRadioButton(tr("&before the date due"), this), "remindBeforeDueDate",
                           tr("Before the date due"))),
      _fromNow(named(new QRadioButton(tr("&from now"), this), "remindFromNow", tr("From now"))),
      _whence(new QButtonGroup(this)), _repeat(named(new QCheckBox(tr("Re&peat the reminder"), this),
                                                     "remindRepeat", tr("Repeat the reminder"))) {
    for (const auto& [code, title] : kUnits)
        _unit->addItem(tr(title), code);
    _whence->addButton(_beforeDueDate);
    _whence->addButton(_fromNow);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(_remind);
    auto* amount = new QHBoxLayout;
    amount->addWidget(_length);
    amount->addWidget(_unit, 1);
    layout->addLayout(amount);
    layout->addWidget(_beforeDueDate);
    layout->addWidget(_fromNow);
    layout->addWidget(_repeat);
    layout->addStretch();

    InspectorCommands* commands = &document.inspectorCommands();
    connect(_remind, &QCheckBox::clicked, this,
            [commands](bool on) { commands->reminderCheckboxAction(on); });
    connect(_length, &QLineEdit::editingFinished, this, &ReminderTool::lengthEdited);
    connect(_unit, &QComboBox::activated, this,
            [this, commands](int index) { commands->reminderUnitAction(_unit->itemData(index).toInt()); });
    connect(_whence, &QButtonGroup::buttonClicked, this, [this, commands](QAbstractButton* button) {
        commands->reminderWhenceAction(button == _beforeDueDate);
    });
    connect(_repeat, &QCheckBox::clicked, this, [commands](bool on) { commands->reminderRepeatAction(on); });
}

QWidget* ReminderTool::focusControl() {
    return _remind;
}

void ReminderTool::lengthEdited() {
    // Leaving the field without typing in it changes nothing.
    if (!_length->isModified())
        return;
    _length->setModified(false);
    _document.inspectorCommands().reminderLengthAction(_length->text());
}

void ReminderTool::render(const StatusDisplay& display) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{_remind, _length, _unit, _beforeDueDate, _fromNow, _repeat})
        control->setEnabled(display.toolsEnabled);
    const ItemTools none;
    const ItemTools& item = display.item ? *display.item : none;
    _remind->setChecked(item.reminderSet);
    if (!_length->hasFocus() || !_length->isModified())
        _length->setText(item.reminderLength);
    _unit->setCurrentIndex(std::max(0, _unit->findData(item.reminderUnitTag.value_or(-1))));
    // Both buttons may be off: the group lets go of its last choice for that.
    _whence->setExclusive(false);
    _beforeDueDate->setChecked(item.reminderMarkDueDate);
    _fromNow->setChecked(item.reminderMarkNow);
    _whence->setExclusive(true);
    _repeat->setChecked(item.reminderRepeat);
}

} // namespace tardigo
