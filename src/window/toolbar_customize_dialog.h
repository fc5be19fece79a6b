#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace tardigo {

/// Lets the user choose the toolbar's items and their order: the items available on the left, the
/// toolbar's on the right, and a button that brings back the default set.
class ToolbarCustomizeDialog : public QDialog {
    Q_OBJECT
public:
    ToolbarCustomizeDialog(const QStringList& current, QWidget* parent = nullptr);

    QStringList itemIdentifiers() const;

private:
    void fill(const QStringList& current);
    void addSelected();
    void removeSelected();
    void moveSelected(int by);

    QListWidget* _available;
    QListWidget* _chosen;
};

} // namespace tardigo
