#pragma once

#include "inspector/tool_page.h"

class QPlainTextEdit;

namespace tardigo {

/// What was done to the selected item, oldest first, one line an entry; it can be read and copied,
/// not changed.
class HistoryTool : public ToolPage {
    Q_OBJECT

public:
    explicit HistoryTool(QWidget* parent = nullptr);

    void render(const StatusDisplay& display) override;
    QWidget* focusControl() override;

private:
    QPlainTextEdit* _history;
};

} // namespace tardigo
