#include "inspector/history_tool.h"

#include "outline/status_display.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tardigo {

HistoryTool::HistoryTool(QWidget* parent)
    : ToolPage(parent), _history(named(new QPlainTextEdit(this), "historyTextView", tr("History"))) {
    _history->setReadOnly(true);
    _history->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    _history->setLineWrapMode(QPlainTextEdit::NoWrap);
    _history->setFont(QFont(QStringLiteral("Arial Narrow"), 10));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(_history);
}

QWidget* HistoryTool::focusControl() {
    return _history;
}

void HistoryTool::render(const StatusDisplay& display) {
    _history->setEnabled(display.toolsEnabled);
    const QString text = display.item ? display.item->historyText : QString();
    if (_history->toPlainText() != text.chopped(text.endsWith(u'\n') ? 1 : 0)) {
        _history->setPlainText(text);
        _history->moveCursor(QTextCursor::End); // the newest entry is last
    }
}

} // namespace tardigo
