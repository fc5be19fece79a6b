#pragma once

#include "inspector/tool_page.h"

#include <QByteArray>

#include <optional>

class QLabel;
class QTextEdit;

namespace tardigo {

class TardigoDocument;

/// The notes of the selected item as rich text. Leaving the text stores the notes. Notes too large to
/// edit without holding up the window are not shown; a sentence says so and they stay as they are.
class NotesTool : public ToolPage {
public:
    /// The largest notes shown, as stored: larger ones take the window away for too long to lay out.
    static constexpr qsizetype kLargestNotesShown = 1 << 20;

    NotesTool(TardigoDocument& document, QWidget* parent = nullptr);

    void render(const StatusDisplay& display) override;
    void finishEditing() override;
    QWidget* focusControl() override;
    QTextEdit* editor() const { return _editor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(const std::optional<QByteArray>& notes);

    TardigoDocument& _document;
    QTextEdit* _editor;
    QLabel* _tooLarge;
    std::optional<QByteArray> _shown;
};

} // namespace tardigo
