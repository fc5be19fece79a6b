#include "inspector/font_tool.h"

#include "appearance/item_appearance.h"
#include "appearance/postscript_font_names.h"
#include "document/tardigo_document.h"
#include "outline/status_display.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tardigo {

FontTool::FontTool(TardigoDocument& document, QWidget* parent)
    : ToolPage(parent), _document(document), _display(named(new QLabel(this), "fontDisplayText", tr("Font"))),
      _select(named(new QPushButton(tr("&Select Font…"), this), "selectFontButton", tr("Select font"))),
      _default(named(new QCheckBox(tr("Use as the &default font"), this), "defaultFontCheckbox",
                     tr("Use as the default font"))),
      _useDefault(named(new QPushButton(tr("Use Default &Font"), this), "useDefaultFontButton",
                        tr("Use the default font"))) {
    _display->setWordWrap(true);
    _display->setMinimumHeight(48);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(_display);
    layout->addWidget(_select);
    layout->addWidget(_useDefault);
    layout->addWidget(_default);
    layout->addStretch();
    connect(_select, &QPushButton::clicked, this, &FontTool::openFontPanel);
    connect(_useDefault, &QPushButton::clicked, this,
            [this] { _document.inspectorCommands().useDefaultFont(); });
    connect(_default, &QCheckBox::clicked, this, &FontTool::defaultFontClicked);
}

QWidget* FontTool::focusControl() {
    return _select;
}

void FontTool::render(const StatusDisplay& display) {
    for (QWidget* control : std::initializer_list<QWidget*>{_select, _default, _useDefault})
        control->setEnabled(display.toolsEnabled);
    if (!display.appearance) {
        _display->clear();
        _default->setChecked(false);
        return;
    }
    const ItemFont& font = display.appearance->font;
    _shown = qFontForItemFont(font);
    _shownName = font.name ? font.name : userDefaultFont().name;
    // The face without the foundry Qt adds to tell two families of one name apart ("[urw]").
    const FontFace face = faceOfFont(_shown);
    _display->setText(
        QStringLiteral("%1 %2 %3 pt").arg(face.family, face.style).arg(QFontInfo(_shown).pointSize()));
    _display->setFont(_shown);
    _default->setChecked(display.toolsEnabled && display.appearance->isDefaultFont);
}

void FontTool::openFontPanel() {
    if (!_panel) {
        _panel = named(new QFontDialog(this), "fontPanel", tr("Fonts"));
        _panel->setOption(QFontDialog::DontUseNativeDialog);
        connect(_panel, &QFontDialog::fontSelected, this, &FontTool::fontChosen);
    }
    _document.finishAllEditing();
    // The face itself, not a name that stands for it (the default font is often "Sans Serif").
    QFont face = qFontForFace(faceOfFont(_shown));
    face.setPointSizeF(QFontInfo(_shown).pointSizeF());
    _panel->setCurrentFont(face);
    _panel->show();
    _panel->raise();
    _panel->activateWindow();
}

StoredFont FontTool::storedFontFor(const QFont& font) const {
    const FontFace face = faceOfFont(font);
    QString name = _shownName && face == faceOfFont(_shown) ? *_shownName : postScriptNameForFace(face);
    if (name.isEmpty())
        name = QString(face.family).remove(u' ') + u'-' + QString(face.style).remove(u' ');
    return {name, font.pointSizeF() > 0 ? font.pointSizeF() : QFontInfo(font).pointSizeF()};
}

void FontTool::fontChosen(const QFont& font) {
    _document.inspectorCommands().changeFont(storedFontFor(font));
}

void FontTool::defaultFontClicked(bool on) {
    _document.inspectorCommands().setDefaultFont(on ? std::optional<StoredFont>(storedFontFor(_shown))
                                                    : std::nullopt);
}

} // namespace tardigo
