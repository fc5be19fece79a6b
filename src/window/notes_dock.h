#pragma once

#include "document/inspector_view.h"

#include <QByteArray>
#include <QDockWidget>

#include <optional>

class QTextEdit;

namespace tardigo {

class TardigoDocument;

/// A small inspector holding only the notes of the selected item, as rich text. Leaving the text
/// commits the notes to the document.
class NotesDock : public QDockWidget, public InspectorView {
    Q_OBJECT
public:
    NotesDock(TardigoDocument& document, QWidget* parent = nullptr);

    int toolIdentifierToShow() const override { return InspectorToolNotes; }
    void setToolIdentifierToShow(int) override {}
    bool isInspectorShowing() const override { return isVisible(); }
    void toggleInspector(bool fromUser) override;
    void activateSelectedTool() override;
    void showToolWithId(int tool) override;
    void reloadIconTable() override {}

    /// Shows the notes of the one selected item, or nothing (disabled) without one.
    void showNotes(bool enabled, const std::optional<QByteArray>& notes);
    /// Hands edited notes to the document.
    void commitIfEdited();
    QTextEdit* editor() const { return _editor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TardigoDocument& _document;
    QTextEdit* _editor;
    std::optional<QByteArray> _shown;
};

} // namespace tardigo
