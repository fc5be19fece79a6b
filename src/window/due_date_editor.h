#pragma once

#include <QDateTime>
#include <QLineEdit>
#include <QVariant>

class QCalendarWidget;
class QFrame;

namespace tardigo {

/// The due column's editor: the date as text in the column's format, with a calendar to pick the
/// day from. It reads nothing itself: it hands over the text as typed, and the document reads it.
class DueDateEditor : public QLineEdit {
    Q_OBJECT
public:
    explicit DueDateEditor(QWidget* parent = nullptr);

    void setDate(const QDateTime& date);
    /// What the edit delivers: the date given to setDate while the text is unchanged, so that opening
    /// and leaving the editor changes nothing; otherwise the text as typed.
    QVariant entry() const;
    /// Whether the document took the last entry delivered; an editor whose entry was refused stays.
    bool entryAccepted() const { return _accepted; }
    void setEntryAccepted(bool accepted) { _accepted = accepted; }

    /// How wide the text of the widest due date is in these metrics.
    static int widestDateWidth(const QFontMetrics& metrics);
    /// The width the editor needs to show the widest due date with its calendar button.
    int neededWidth() const;

private:
    void showCalendar();
    void calendarPicked(QDate day);
    /// The date the text stands for now; invalid when it stands for none.
    QDateTime typedDate() const;

    QDateTime _original;
    QString _originalText;
    bool _accepted = true;
    QFrame* _popup = nullptr;
    QCalendarWidget* _calendar = nullptr;
};

} // namespace tardigo
