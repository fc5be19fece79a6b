#pragma once

#include "inspector/tool_page.h"
#include "model/value.h"

#include <QByteArray>

#include <memory>
#include <optional>

class QLabel;
class QTextDocument;
class QTextEdit;

namespace tardigo {

class TardigoDocument;

/// The notes of the selected item as rich text. Leaving the text stores the notes in the item they
/// were typed for, and so does anything that shows other notes or hides the editor. Large notes are
/// read on a thread of their own while a sentence says they are coming, so that the window answers
/// in the meantime; the text can be edited once they are shown.
class NotesTool : public ToolPage {
    Q_OBJECT

public:
    /// The largest notes, as stored, read while the window waits; larger ones are read aside.
    static constexpr qsizetype kLargestNotesReadAtOnce = 256 * 1024;

    NotesTool(TardigoDocument& document, QWidget* parent = nullptr);
    ~NotesTool() override;

    void render(const StatusDisplay& display) override;
    void finishEditing() override;
    QWidget* focusControl() override;
    QTextEdit* editor() const { return _editor; }
    /// Large notes are being read; the editor shows them when they are.
    bool isLoading() const { return _loading; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Shows the item's notes unless they are shown already or the user is typing.
    void show(const NodePtr& item, const std::optional<QByteArray>& notes);
    /// Reads the notes on a thread of their own, then shows them unless other notes came since.
    void loadAside(const QByteArray& notes);
    void showDocument(std::unique_ptr<QTextDocument> shown);
    /// After the editor's palette switched between light and dark: the notes' colours readable on it.
    void showAgainReadable();
    void enableEditor();

    TardigoDocument& _document;
    QTextEdit* _editor;
    QLabel* _loadingLabel;
    std::weak_ptr<Dict> _item; // whose notes are shown, and get what is typed
    std::optional<QByteArray> _shown;
    bool _toolsEnabled = false;
    bool _loading = false;
    quint64 _lastLoad = 0; // the reading whose notes are wanted
};

} // namespace tardigo
