#pragma once

#include <QLineEdit>

namespace tardigo {

/// The field above the outline that searches the list as the user types. Escape empties it and
/// hands the focus back to the outline.
class SearchField : public QLineEdit {
    Q_OBJECT
public:
    explicit SearchField(QWidget* parent = nullptr);

    /// Shows the text without announcing it as typed: what the list holds is shown, not searched
    /// again.
    void showText(const QString& text);

signals:
    /// The user typed, deleted or emptied the text.
    void searchTyped(const QString& text);
    /// Escape: the search is over.
    void finished();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tardigo
