#pragma once

#include "inspector/tool_page.h"

#include <QColor>

class QColorDialog;
class QPushButton;

namespace tardigo {

class TardigoDocument;

/// The colour of the selected items' names: chosen in the colour panel, or none (black).
class ColorTool : public ToolPage {
    Q_OBJECT

public:
    ColorTool(TardigoDocument& document, QWidget* parent = nullptr);

    void render(const StatusDisplay& display) override;
    QWidget* focusControl() override;
    /// The colour panel; null until the user first opens it.
    QColorDialog* colorPanel() const { return _panel; }

private:
    void openColorPanel();

    TardigoDocument& _document;
    QPushButton* _well;
    QPushButton* _noColor;
    QColorDialog* _panel = nullptr;
    QColor _shown = Qt::black;
};

} // namespace tardigo
