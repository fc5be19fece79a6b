#include "inspector/icons_tool.h"

#include "appearance/icon_for_name.h"
#include "dialogs/dialog_service.h"
#include "document/tardigo_document.h"
#include "outline/icon_names.h"
#include "outline/icon_preferences.h"
#include "outline/status_display.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace tardigo {

IconsTool::IconsTool(TardigoDocument& document, std::function<void()> manageIcons, QWidget* parent)
    : ToolPage(parent), _document(document), _icons(named(new QListWidget(this), "iconsTable", tr("Icons"))),
      _exclusive(named(new QRadioButton(tr("Use &this icon only"), this), "iconExclusive",
                       tr("Use this icon only"))),
      _intelligent(named(new QRadioButton(tr("&Let the icon rules choose"), this), "iconIntel",
                         tr("Let the icon rules choose"))),
      _noIcon(named(new QPushButton(tr("&No Icon"), this), "noIconButton", tr("No icon"))),
      _addImage(named(new QPushButton(tr("&Image File…"), this), "addIconButton",
                      tr("Use an image file as the icon"))) {
    auto* manage =
        named(new QPushButton(tr("&Manage Icons…"), this), "manageIconsButton", tr("Manage icons"));
    _icons->setSelectionMode(QAbstractItemView::SingleSelection);
    _icons->setIconSize(QSize(20, 20));
    auto* whence = new QButtonGroup(this);
    whence->addButton(_exclusive);
    whence->addButton(_intelligent);
    auto* layout = new QGridLayout(this);
    layout->addWidget(_icons, 0, 0, 1, 3);
    layout->addWidget(_exclusive, 1, 0, 1, 3);
    layout->addWidget(_intelligent, 2, 0, 1, 3);
    layout->addWidget(_noIcon, 3, 0);
    layout->addWidget(_addImage, 3, 1);
    layout->addWidget(manage, 3, 2);
    reloadIcons();

    connect(_icons, &QListWidget::itemSelectionChanged, this, &IconsTool::selectionChanged);
    connect(whence, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* button) {
        _document.inspectorCommands().iconExclusivityAction(button == _exclusive);
    });
    connect(_noIcon, &QPushButton::clicked, _icons, &QListWidget::clearSelection);
    connect(_addImage, &QPushButton::clicked, this, &IconsTool::addImage);
    connect(manage, &QPushButton::clicked, this, std::move(manageIcons));
}

QWidget* IconsTool::focusControl() {
    return _icons;
}

void IconsTool::reloadIcons() {
    _rendering = true;
    _icons->clear();
    for (const QString& name : IconPreferences::icons()) {
        auto* row = new QListWidgetItem(iconForName(name), iconDisplayName(name), _icons);
        if (name.contains(u'/'))
            row->setToolTip(name);
    }
    _rendering = false;
}

void IconsTool::selectionChanged() {
    if (_rendering)
        return;
    const QList<QListWidgetItem*> selected = _icons->selectedItems();
    _document.inspectorCommands().iconSelected(
        selected.isEmpty() ? std::nullopt : std::optional<int>(_icons->row(selected.front())));
}

void IconsTool::addImage() {
    const QString path = DialogService::imageFileName(this);
    if (!path.isEmpty())
        _document.inspectorCommands().addOwnIcon(path);
}

void IconsTool::render(const StatusDisplay& display) {
    _rendering = true;
    for (QWidget* control : std::initializer_list<QWidget*>{_exclusive, _intelligent, _noIcon, _addImage})
        control->setEnabled(display.toolsEnabled);
    const bool exclusive = display.appearance && display.appearance->iconExclusive;
    _exclusive->setChecked(exclusive);
    _intelligent->setChecked(display.appearance && !exclusive);
    const std::optional<int> row = display.appearance ? display.appearance->selectedIconRow : std::nullopt;
    if (!row) {
        _icons->clearSelection();
    } else if (QListWidgetItem* icon = _icons->item(*row)) {
        _icons->setCurrentItem(icon);
        _icons->scrollToItem(icon);
    }
    _rendering = false;
}

} // namespace tardigo
