#pragma once

#include "quick_add/quick_add_text.h"

#include <QLabel>

#include <optional>

class QLineEdit;

namespace tardigo {

/// How a quick-add line reads, shown under it as it is typed: the item's name, category and due
/// date, or what it lacks, or a message about the line. It asks for no width of its own: a long
/// name or category is shortened with "…" to the width it is given, so that the due date stays in
/// view; and it is as high as its text needs, so that no line of it is cut.
class QuickAddReading : public QLabel {
    Q_OBJECT
public:
    /// `whenEmpty` is the hint shown for an empty line.
    explicit QuickAddReading(const QString& whenEmpty, QWidget* parent = nullptr);

    /// Reads the line whenever it changes. The line takes text of any length: a long paste keeps
    /// its end, where the due date is.
    void follow(QLineEdit& line);
    /// Shows the message instead of the reading, until the line changes.
    void showMessage(const QString& message);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showReading(const QString& line);
    /// Shows the item read, shortened to the width there is now.
    void showItem();
    void fitHeight();

    QString _whenEmpty;
    std::optional<QuickAddItem> _item; // what the line reads as; none for a line without a name
    bool _empty = true;                // the line holds nothing but spaces
    bool _showsMessage = false;
};

} // namespace tardigo
