#include "inspector/color_tool.h"

#include "archive/color_value.h"
#include "document/tardigo_document.h"
#include "outline/status_display.h"

#include <QColorDialog>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace tardigo {

ColorTool::ColorTool(TardigoDocument& document, QWidget* parent)
    : ToolPage(parent), _document(document),
      _well(named(new QPushButton(tr("&Color…"), this), "colorWell", tr("Color of the name"))),
      _noColor(named(new QPushButton(tr("&No Color"), this), "noColorButton", tr("No color"))) {
    _well->setIconSize(QSize(32, 16));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(_well);
    layout->addWidget(_noColor);
    layout->addStretch();
    connect(_well, &QPushButton::clicked, this, &ColorTool::openColorPanel);
    connect(_noColor, &QPushButton::clicked, this,
            [this] { _document.inspectorCommands().changeColor(std::nullopt); });
}

QWidget* ColorTool::focusControl() {
    return _well;
}

void ColorTool::render(const StatusDisplay& display) {
    _well->setEnabled(display.toolsEnabled);
    _noColor->setEnabled(display.toolsEnabled);
    const std::optional<Rgba> rgba =
        display.appearance ? rgbaFromColorValue(display.appearance->color) : std::nullopt;
    _shown = rgba ? QColor::fromRgbF(rgba->r, rgba->g, rgba->b, rgba->a) : QColor(Qt::black);
    QPixmap swatch(_well->iconSize());
    swatch.fill(_shown);
    _well->setIcon(swatch);
    // The swatch shows the colour to the eye only.
    _well->setAccessibleDescription(rgba ? tr("Red %1 %, green %2 %, blue %3 %")
                                               .arg(qRound(_shown.redF() * 100))
                                               .arg(qRound(_shown.greenF() * 100))
                                               .arg(qRound(_shown.blueF() * 100))
                                         : tr("No color"));
}

void ColorTool::openColorPanel() {
    if (!_panel) {
        _panel = named(new QColorDialog(this), "colorPanel", tr("Colors"));
        _panel->setOption(QColorDialog::DontUseNativeDialog);
        _panel->setOption(QColorDialog::ShowAlphaChannel);
        connect(_panel, &QColorDialog::colorSelected, this, [this](const QColor& color) {
            _document.inspectorCommands().changeColor(Rgba{float(color.redF()), float(color.greenF()),
                                                           float(color.blueF()), float(color.alphaF())});
        });
    }
    _document.finishAllEditing();
    _panel->setCurrentColor(_shown);
    _panel->show();
    _panel->raise();
    _panel->activateWindow();
}

} // namespace tardigo
