#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QToolButton;

namespace tardigo {

/// The sync's part of a window's status line: while a sync runs, that it runs and a Cancel; then
/// when the list last synced, or why it did not.
class SyncStatus : public QWidget {
    Q_OBJECT
public:
    explicit SyncStatus(QWidget* parent);

    /// A sync runs: the text, a busy bar and Cancel.
    void showSyncing(const QString& text, const QString& toolTip);
    /// No sync runs: the text alone; an empty one hides the part.
    void showText(const QString& text, const QString& toolTip);

signals:
    void cancelRequested();

private:
    QLabel* _label = nullptr;
    QProgressBar* _progress = nullptr;
    QToolButton* _cancel = nullptr;
};

} // namespace tardigo
