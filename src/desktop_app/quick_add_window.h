#pragma once

#include <QWidget>

#include <functional>
#include <optional>

class QLineEdit;

namespace tardigo {

class QuickAddReading;

/// Quick add's small window over the desktop: one line, read as it is typed ("Call Anna tomorrow
/// 10:00 #work"), added on Return. Escape, or closing the window, drops the line; nothing is written
/// before Return.
class QuickAddWindow : public QWidget {
    Q_OBJECT
public:
    /// Adds the item a line describes; answers why not, in words, when it could not.
    using AddItem = std::function<std::optional<QString>(const QString& line)>;

    explicit QuickAddWindow(AddItem addItem, QWidget* parent = nullptr);

    /// Shows the window empty, in front, with the focus in its line.
    void present();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void add();

    AddItem _addItem;
    QLineEdit* _line;
    QuickAddReading* _reading;
};

} // namespace tardigo
