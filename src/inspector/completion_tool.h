#pragma once

#include "inspector/tool_page.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace tardigo {

class GestureSlider;
class TardigoDocument;

/// How far the selected item is done, and its category.
class CompletionTool : public ToolPage {
    Q_OBJECT

public:
    CompletionTool(TardigoDocument& document, QWidget* parent = nullptr);

    void render(const StatusDisplay& display) override;
    QWidget* focusControl() override;

private:
    /// The slider's gesture ended at this value.
    void sliderSet(int percent);
    void categoryChosen();

    TardigoDocument& _document;
    QLabel* _percent;
    GestureSlider* _slider;
    QCheckBox* _completed;
    QComboBox* _category;
};

} // namespace tardigo
