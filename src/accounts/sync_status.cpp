#include "accounts/sync_status.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

namespace tardigo {

SyncStatus::SyncStatus(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("syncStatusPart"));
    _label = new QLabel(this);
    _label->setObjectName(QStringLiteral("syncStatus"));
    _label->setAccessibleName(tr("Last sync"));
    _label->setTextFormat(Qt::PlainText);
    _progress = new QProgressBar(this);
    _progress->setObjectName(QStringLiteral("syncProgress"));
    _progress->setAccessibleName(tr("Syncing"));
    _progress->setRange(0, 0); // how long the server takes is not known beforehand
    _progress->setTextVisible(false);
    _progress->setMaximumWidth(80);
    _progress->setMaximumHeight(_label->sizeHint().height());
    _cancel = new QToolButton(this);
    _cancel->setObjectName(QStringLiteral("syncCancelButton"));
    _cancel->setText(tr("Cancel"));
    _cancel->setAccessibleName(tr("Cancel Sync"));
    _cancel->setToolTip(tr("Stop this sync; the next one does the rest"));
    // Reached with Tab from the outline, and pressed with Space.
    _cancel->setFocusPolicy(Qt::StrongFocus);
    connect(_cancel, &QToolButton::clicked, this, &SyncStatus::cancelRequested);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 12, 0); // apart from the count beside it
    layout->setSpacing(6);
    layout->addWidget(_progress);
    layout->addWidget(_label);
    layout->addWidget(_cancel);
    showText({}, {});
}

void SyncStatus::showSyncing(const QString& text, const QString& toolTip) {
    _label->setText(text);
    _label->setToolTip(toolTip);
    _progress->show();
    _cancel->show();
    _cancel->setEnabled(true);
    show();
}

void SyncStatus::showText(const QString& text, const QString& toolTip) {
    _label->setText(text);
    _label->setToolTip(toolTip);
    _progress->hide();
    _cancel->hide();
    setVisible(!text.isEmpty());
}

} // namespace tardigo
