#include "desktop_app/quick_add_window.h"

#include "dialogs/quick_add_reading.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tardigo {

QuickAddWindow::QuickAddWindow(AddItem addItem, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowStaysOnTopHint), _addItem(std::move(addItem)),
      _line(new QLineEdit(this)),
      _reading(new QuickAddReading(tr("Type the item; Return adds it, Escape closes."), this)) {
    setWindowTitle(tr("Quick Add"));
    setObjectName(QStringLiteral("quickAddWindow"));
    auto* prompt = new QLabel(tr("&New item, with a #category and a due date at its end:"), this);
    prompt->setBuddy(_line);
    _line->setObjectName(QStringLiteral("quickAddLine"));
    _line->setPlaceholderText(tr("Call Anna tomorrow 10:00 #work"));
    _line->setMinimumWidth(_line->fontMetrics().averageCharWidth() * 50);
    _reading->setObjectName(QStringLiteral("quickAddReading"));
    _reading->setAccessibleName(tr("How the line is read"));
    _reading->follow(*_line);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(_line);
    layout->addWidget(_reading);
    connect(_line, &QLineEdit::returnPressed, this, &QuickAddWindow::add);
}

void QuickAddWindow::present() {
    _line->clear();
    show();
    raise();
    activateWindow();
    _line->setFocus();
}

void QuickAddWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void QuickAddWindow::add() {
    if (const std::optional<QString> why = _addItem(_line->text())) {
        _reading->showMessage(*why);
        return;
    }
    close();
}

} // namespace tardigo
