#pragma once

#include <QString>

namespace tardigo {

/// What the document asks of the window that shows it. A document without a window (one the minder
/// opened, or the command-line tool's) has none.
class DocumentWindow {
public:
    virtual ~DocumentWindow() = default;

    /// Brings the document's window on screen.
    virtual void showWindows() = 0;
    /// Uses the name as the autosave name of the outline's column layout and saves the window's frame
    /// under it.
    virtual void saveLayoutUnderName(const QString& autosaveName) = 0;
};

} // namespace tardigo
