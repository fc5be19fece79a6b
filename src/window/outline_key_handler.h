#pragma once

#include <QObject>

namespace tardigo {

class OutlineTreeView;
class TardigoDocument;

/// The outline's own keys while no cell is being edited: Tab indents the selected items and Shift+Tab
/// outdents them, Return edits the selected item's name. Everywhere else Tab still moves the focus.
class OutlineKeyHandler : public QObject {
public:
    /// Watches the outline's keys for as long as the outline lives.
    OutlineKeyHandler(OutlineTreeView& outline, TardigoDocument& document);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OutlineTreeView& _outline;
    TardigoDocument& _document;
};

} // namespace tardigo
