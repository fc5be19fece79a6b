#pragma once

#include <QTreeView>

namespace tardigo {

/// A tree view that, while it shows no row, says why in its middle (an empty list, a search that
/// matches nothing) instead of staying blank, and tells a screen reader the same in its description.
class HintedTreeView : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

    /// What the view says while it shows no row; nothing when empty.
    void setEmptyText(const QString& text);
    const QString& emptyText() const { return _emptyText; }

    void setModel(QAbstractItemModel* model) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool showsNoRow() const;
    void describe();

    QString _emptyText;
    QList<QMetaObject::Connection> _rowWatch; // on the model's changes of rows
};

} // namespace tardigo
