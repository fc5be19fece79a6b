#pragma once

#include <QStringList>
#include <QTableWidget>

namespace tardigo {

/// The preferences' table of icons: each icon with the category and the status condition that
/// show it, chosen from lists; every choice writes the icon preferences at once.
class IconPreferencesTable : public QTableWidget {
    Q_OBJECT
public:
    enum Column { IconColumn, CategoryColumn, StatusColumn };

    explicit IconPreferencesTable(QWidget* parent = nullptr);

    /// Fills the table from the preferences; the category choices are the global categories.
    void reload(const QStringList& categories);
    /// The condition names in status-code order, "(Do not use)" last.
    static QStringList statusNames();

signals:
    /// An icon's category or condition was chosen; the preferences have it already.
    void iconRuleChanged();

private:
    void rebuildRows(const QStringList& icons);
    void showRules(int row, const QString& icon);
    void categoryChosen(int row, int index);
    void statusChosen(int row, int index);
    void announceRuleChanged();

    QStringList _icons;
    QStringList _categories;
};

} // namespace tardigo
