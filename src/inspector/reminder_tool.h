#pragma once

#include "inspector/tool_page.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace tardigo {

class TardigoDocument;

/// A reminder about the selected item: a length of time before its due date or from now, once or
/// repeatedly.
class ReminderTool : public ToolPage {
    Q_OBJECT

public:
    ReminderTool(TardigoDocument& document, QWidget* parent = nullptr);

    void render(const StatusDisplay& display) override;
    QWidget* focusControl() override;

private:
    void lengthEdited();

    TardigoDocument& _document;
    QCheckBox* _remind;
    QLineEdit* _length;
    QComboBox* _unit;
    QRadioButton* _beforeDueDate;
    QRadioButton* _fromNow;
    QButtonGroup* _whence;
    QCheckBox* _repeat;
};

} // namespace tardigo
