#include "window/search_field.h"

#include "widgets/clear_button.h"

#include <QKeyEvent>

namespace tardigo {

SearchField::SearchField(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("searchField"));
    setAccessibleName(tr("Search the list"));
    setPlaceholderText(tr("Search names, categories and notes"));
    showClearButton(*this);
    // Typing, the clear button and Escape alike; text shown from the list is blocked in showText.
    connect(this, &QLineEdit::textChanged, this, &SearchField::searchTyped);
}

void SearchField::showText(const QString& text) {
    if (text == this->text())
        return;
    const QSignalBlocker blocker(this);
    setText(text);
}

void SearchField::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        clear();
        emit finished();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace tardigo
