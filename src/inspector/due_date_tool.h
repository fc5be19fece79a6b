#pragma once

#include "inspector/tool_page.h"

#include <QDateTime>

#include <optional>

class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QLabel;
class QTimeEdit;

namespace tardigo {

class TardigoDocument;

/// When the selected item is due, and whether that repeats: a calendar to pick the day (click it, or
/// move there with the arrow keys and press Return), the time of day, and the repeat period.
class DueDateTool : public ToolPage {
    Q_OBJECT

public:
    DueDateTool(TardigoDocument& document, QWidget* parent = nullptr);

    void render(const StatusDisplay& display) override;
    QWidget* focusControl() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void datePicked(const QDate& date);
    void timeEdited();
    void repeatClicked(bool on);
    void periodChosen(int index);

    TardigoDocument& _document;
    QLabel* _dueText;
    QCalendarWidget* _calendar;
    QTimeEdit* _time;
    QCheckBox* _repeat;
    QComboBox* _period;
    std::optional<QDateTime> _shownDue; // none: the calendar shows a day to pick, not a due date
};

} // namespace tardigo
