#include "window/toolbar_customize_dialog.h"

#include "window/document_toolbar.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tardigo {

namespace {

// Separators and spaces may appear any number of times; every other item once.
bool isRepeatable(const QString& identifier) {
    return identifier == DocumentToolbar::separatorIdentifier ||
           identifier == DocumentToolbar::flexibleSpaceIdentifier;
}

QListWidgetItem* itemFor(const QString& identifier) {
    auto* item =
        new QListWidgetItem(DocumentToolbar::itemIcon(identifier), DocumentToolbar::itemLabel(identifier));
    item->setData(Qt::UserRole, identifier);
    return item;
}

} // namespace

ToolbarCustomizeDialog::ToolbarCustomizeDialog(const QStringList& current, QWidget* parent)
    : QDialog(parent), _available(new QListWidget(this)), _chosen(new QListWidget(this)) {
    setObjectName(QStringLiteral("toolbarCustomizeDialog"));
    setWindowTitle(tr("Customize Toolbar"));
    _available->setObjectName(QStringLiteral("availableItems"));
    _chosen->setObjectName(QStringLiteral("toolbarItems"));
    for (QListWidget* list : {_available, _chosen})
        list->setIconSize(QSize(24, 24));
    _available->setAccessibleName(tr("Available items"));
    _chosen->setAccessibleName(tr("Toolbar items"));

    auto* add = new QPushButton(tr("Add →"), this);
    auto* remove = new QPushButton(tr("← Remove"), this);
    auto* up = new QPushButton(tr("Move Up"), this);
    auto* down = new QPushButton(tr("Move Down"), this);
    auto* buttons = new QVBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {add, remove, up, down})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* box = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Available items:"), this), 0, 0);
    grid->addWidget(new QLabel(tr("Toolbar items:"), this), 0, 2);
    grid->addWidget(_available, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(_chosen, 1, 2);
    grid->addWidget(box, 2, 0, 1, 3);

    connect(add, &QPushButton::clicked, this, &ToolbarCustomizeDialog::addSelected);
    connect(remove, &QPushButton::clicked, this, &ToolbarCustomizeDialog::removeSelected);
    connect(up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(_available, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizeDialog::addSelected);
    connect(_chosen, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizeDialog::removeSelected);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(box->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, this,
            [this] { fill(DocumentToolbar::defaultItemIdentifiers()); });
    fill(current);
}

void ToolbarCustomizeDialog::fill(const QStringList& current) {
    _available->clear();
    _chosen->clear();
    for (const QString& identifier : current)
        _chosen->addItem(itemFor(identifier));
    for (const QString& identifier : DocumentToolbar::allowedItemIdentifiers())
        if (isRepeatable(identifier) || !current.contains(identifier))
            _available->addItem(itemFor(identifier));
}

QStringList ToolbarCustomizeDialog::itemIdentifiers() const {
    QStringList identifiers;
    for (int row = 0; row < _chosen->count(); ++row)
        identifiers.append(_chosen->item(row)->data(Qt::UserRole).toString());
    return identifiers;
}

void ToolbarCustomizeDialog::addSelected() {
    QListWidgetItem* item = _available->currentItem();
    if (!item)
        return;
    const QString identifier = item->data(Qt::UserRole).toString();
    const int at = _chosen->currentRow() >= 0 ? _chosen->currentRow() + 1 : _chosen->count();
    _chosen->insertItem(at, itemFor(identifier));
    _chosen->setCurrentRow(at);
    if (!isRepeatable(identifier))
        delete _available->takeItem(_available->row(item));
}

void ToolbarCustomizeDialog::removeSelected() {
    QListWidgetItem* item = _chosen->currentItem();
    if (!item)
        return;
    const QString identifier = item->data(Qt::UserRole).toString();
    delete _chosen->takeItem(_chosen->row(item));
    if (!isRepeatable(identifier))
        fill(itemIdentifiers());
}

void ToolbarCustomizeDialog::moveSelected(int by) {
    const int row = _chosen->currentRow();
    const int target = row + by;
    if (row < 0 || target < 0 || target >= _chosen->count())
        return;
    _chosen->insertItem(target, _chosen->takeItem(row));
    _chosen->setCurrentRow(target);
}

} // namespace tardigo
