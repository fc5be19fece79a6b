#pragma once

#include "inspector/tool_page.h"

#include <functional>

class QListWidget;
class QPushButton;
class QRadioButton;

namespace tardigo {

class TardigoDocument;

/// The icon of the selected items: one of the icons the preferences list, shown alone or as the
/// rules choose; an image file of the user's own becomes one of them.
class IconsTool : public ToolPage {
    Q_OBJECT

public:
    /// `manageIcons` opens the preferences' icon list.
    IconsTool(TardigoDocument& document, std::function<void()> manageIcons, QWidget* parent = nullptr);

    void render(const StatusDisplay& display) override;
    QWidget* focusControl() override;
    /// Lists the icons of the preferences again.
    void reloadIcons();

private:
    void selectionChanged();
    void addImage();

    TardigoDocument& _document;
    QListWidget* _icons;
    QRadioButton* _exclusive;
    QRadioButton* _intelligent;
    QPushButton* _noIcon;
    QPushButton* _addImage;
    bool _rendering = false;
};

} // namespace tardigo
