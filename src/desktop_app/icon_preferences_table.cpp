#include "desktop_app/icon_preferences_table.h"

#include "appearance/icon_for_name.h"
#include "outline/icon_names.h"
#include "outline/icon_preferences.h"
#include "outline/icon_rules.h"
#include "widgets/gui_log.h"

#include <QComboBox>
#include <QHeaderView>
#include <QSignalBlocker>

namespace tardigo {

namespace {

QComboBox* comboAt(const QTableWidget& table, int row, int column) {
    return qobject_cast<QComboBox*>(table.cellWidget(row, column));
}
} // namespace

IconPreferencesTable::IconPreferencesTable(QWidget* parent) : QTableWidget(0, 3, parent) {
    setObjectName(QStringLiteral("iconsPrefsTableView"));
    setAccessibleName(tr("Icons and the items that show them"));
    setHorizontalHeaderLabels({tr("Icon"), tr("Category"), tr("Condition")});
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(IconColumn, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(CategoryColumn, QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(StatusColumn, QHeaderView::ResizeToContents);
    setIconSize(QSize(20, 20));
}

QStringList IconPreferencesTable::statusNames() {
    QStringList names;
    for (const char* name :
         {QT_TR_NOOP("New"), QT_TR_NOOP("Old"), QT_TR_NOOP("Past due date"),
          QT_TR_NOOP("Reminder in progress"), QT_TR_NOOP("Has a due date"), QT_TR_NOOP("Has a reminder"),
          QT_TR_NOOP("Has notes"), QT_TR_NOOP("Partially Completed"), QT_TR_NOOP("Completed"),
          QT_TR_NOOP("Default Icon"), QT_TR_NOOP("(Do not use)")})
        names << tr(name);
    return names;
}

void IconPreferencesTable::reload(const QStringList& categories) {
    const QStringList icons = IconPreferences::icons();
    if (icons != _icons || categories != _categories) {
        _categories = categories;
        rebuildRows(icons);
    }
    for (int row = 0; row < _icons.size(); ++row)
        showRules(row, _icons.at(row));
}

void IconPreferencesTable::rebuildRows(const QStringList& icons) {
    _icons = icons;
    setRowCount(0);
    setRowCount(int(icons.size()));
    QStringList categoryChoices = _categories;
    categoryChoices << tr("(Do not use)");
    for (int row = 0; row < icons.size(); ++row) {
        const QString& name = icons.at(row);
        const QString shown = iconDisplayName(name);
        auto* icon = new QTableWidgetItem(shown);
        if (name.contains(u'/'))
            icon->setToolTip(name);
        const QIcon image = iconForName(name);
        if (image.isNull())
            qCWarning(lcApp).noquote() << QStringLiteral("no picture for the icon %1").arg(name);
        icon->setIcon(image);
        setItem(row, IconColumn, icon);

        auto* category = new QComboBox(this);
        category->addItems(categoryChoices);
        category->setAccessibleName(tr("Category that shows %1").arg(shown));
        connect(category, &QComboBox::activated, this,
                [this, row](int index) { categoryChosen(row, index); });
        setCellWidget(row, CategoryColumn, category);

        auto* status = new QComboBox(this);
        status->addItems(statusNames());
        status->setAccessibleName(tr("Condition that shows %1").arg(shown));
        connect(status, &QComboBox::activated, this, [this, row](int index) { statusChosen(row, index); });
        setCellWidget(row, StatusColumn, status);
    }
}

void IconPreferencesTable::showRules(int row, const QString& icon) {
    QComboBox* category = comboAt(*this, row, CategoryColumn);
    QComboBox* status = comboAt(*this, row, StatusColumn);
    const QSignalBlocker blockCategory(category), blockStatus(status);
    const std::optional<QString> categoryName = IconPreferences::categoryOfIcon(icon);
    category->setCurrentIndex(categoryName ? int(_categories.indexOf(*categoryName)) : -1);
    const std::optional<int> code = IconPreferences::statusOfIcon(icon);
    status->setCurrentIndex(code && *code >= 0 && *code < IconStatusDoNotUse ? *code : -1);
}

void IconPreferencesTable::announceRuleChanged() {
    // Later, not from inside the list's own signal: filling the table again may replace that list.
    QMetaObject::invokeMethod(this, &IconPreferencesTable::iconRuleChanged, Qt::QueuedConnection);
}

void IconPreferencesTable::categoryChosen(int row, int index) {
    const bool doNotUse = index < 0 || index >= _categories.size();
    IconPreferences::setCategory(row, doNotUse ? std::nullopt : std::optional(_categories.at(index)));
    announceRuleChanged();
}

void IconPreferencesTable::statusChosen(int row, int index) {
    const bool doNotUse = index < 0 || index >= IconStatusDoNotUse;
    IconPreferences::setStatus(row, doNotUse ? std::nullopt : std::optional(index));
    announceRuleChanged();
}

} // namespace tardigo
