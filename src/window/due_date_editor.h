#pragma once

#include <QDateTime>
#include <QLineEdit>

class QCalendarWidget;
class QFrame;

namespace tardigo {

/// The due column's editor: the date as text in the column's format, with a calendar to pick the
/// day from. An empty text clears the due date.
class DueDateEditor : public QLineEdit {
    Q_OBJECT
public:
    explicit DueDateEditor(QWidget* parent = nullptr);

    void setDate(const QDateTime& date);
    /// The date the text stands for: the date given to setDate while the text is unchanged, so
    /// that opening and leaving the editor changes nothing; invalid for no date.
    QDateTime date() const;

private:
    void showCalendar();
    void calendarPicked(QDate day);

    QDateTime _original;
    QString _originalText;
    QFrame* _popup = nullptr;
    QCalendarWidget* _calendar = nullptr;
};

} // namespace tardigo
