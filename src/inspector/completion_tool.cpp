#include "inspector/completion_tool.h"

#include "appearance/item_appearance.h"
#include "document/tardigo_document.h"
#include "inspector/gesture_slider.h"
#include "outline/status_display.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>
#include <functional>

namespace tardigo {

namespace {

/// A category field whose list of choices is gathered when it opens: gathering walks the whole list.
class CategoryCombo : public QComboBox {
public:
    CategoryCombo(std::function<QStringList()> choices, QWidget* parent)
        : QComboBox(parent), _choices(std::move(choices)) {}

    void showPopup() override {
        const QString typed = currentText();
        clear();
        addItems(_choices());
        setCurrentText(typed);
        QComboBox::showPopup();
    }

private:
    std::function<QStringList()> _choices;
};

} // namespace

CompletionTool::CompletionTool(TardigoDocument& document, QWidget* parent)
    : ToolPage(parent), _document(document),
      _percent(named(new QLabel(this), "pctCompletedLabel", tr("Percent completed"))),
      _slider(named(new GestureSlider([this](int percent) { sliderSet(percent); }, this),
                    "pctCompletedSlider", tr("Completion"))),
      _completed(named(new QCheckBox(tr("&Completed"), this), "completedCheckbox", tr("Completed"))),
      _category(named(new CategoryCombo([&document] { return document.categoryChoices(); }, this),
                      "categoryCombo", tr("Category"))) {
    _slider->setRange(0, 100);
    _slider->setPageStep(10);
    _category->setEditable(true);
    _category->lineEdit()->setAccessibleName(tr("Category"));
    _category->setInsertPolicy(QComboBox::NoInsert);
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("Com&pletion:"), _slider);
    layout->addRow(QString(), _percent);
    layout->addRow(QString(), _completed);
    layout->addRow(tr("C&ategory:"), _category);

    connect(_completed, &QCheckBox::clicked, this, [this](bool on) {
        _document.itemCommands().completionAction(ItemCommands::CompletionControl::Checkbox, on ? 1.0 : 0.0);
    });
    connect(_category, &QComboBox::activated, this, &CompletionTool::categoryChosen);
    connect(_category->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        // Leaving the field without typing in it changes nothing.
        if (_category->lineEdit()->isModified())
            categoryChosen();
    });
}

QWidget* CompletionTool::focusControl() {
    return _slider;
}

void CompletionTool::sliderSet(int percent) {
    _document.itemCommands().completionAction(ItemCommands::CompletionControl::Slider, percent / 100.0);
}

void CompletionTool::categoryChosen() {
    _category->lineEdit()->setModified(false);
    if (_document.syncingModel() || !_category->isEnabled())
        return;
    _document.itemCommands().categoryAction(_category->currentText());
}

void CompletionTool::render(const StatusDisplay& display) {
    for (QWidget* control : std::initializer_list<QWidget*>{_percent, _slider, _completed, _category})
        control->setEnabled(display.toolsEnabled);
    const ItemTools none;
    const ItemTools& item = display.item ? *display.item : none;
    _percent->setText(item.completionLabel);
    _slider->showValue(int(std::lround(item.completionSlider * 100.0)));
    _completed->setChecked(item.completedChecked);
    if (_category->lineEdit()->hasFocus() && _category->lineEdit()->isModified())
        return; // the user is typing a category
    _category->setEditText(item.category);
    _category->lineEdit()->setModified(false);
    _category->setFont(qFontForItemFont(display.selectionFont));
}

} // namespace tardigo
