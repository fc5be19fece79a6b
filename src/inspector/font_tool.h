#pragma once

#include "inspector/tool_page.h"

#include <QFont>

#include <optional>

class QCheckBox;
class QFontDialog;
class QLabel;
class QPushButton;

namespace tardigo {

class TardigoDocument;
struct StoredFont;

/// The font of the selected items: chosen in the font panel, cleared back to the default font, or
/// made the default font of every item without one of its own.
class FontTool : public ToolPage {
    Q_OBJECT

public:
    FontTool(TardigoDocument& document, QWidget* parent = nullptr);

    void render(const StatusDisplay& display) override;
    QWidget* focusControl() override;
    /// The font panel; null until the user first opens it.
    QFontDialog* fontPanel() const { return _panel; }

private:
    void openFontPanel();
    void fontChosen(const QFont& font);
    void defaultFontClicked(bool on);
    /// How an item stores a font: the name stays as stored while the face is the one shown.
    StoredFont storedFontFor(const QFont& font) const;

    TardigoDocument& _document;
    QLabel* _display;
    QPushButton* _select;
    QCheckBox* _default;
    QPushButton* _useDefault;
    QFontDialog* _panel = nullptr;
    QFont _shown;                      // the selected item's font as drawn
    std::optional<QString> _shownName; // the name it is stored under, its own or the default's
};

} // namespace tardigo
