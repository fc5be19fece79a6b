#pragma once

class QWidget;

namespace tardigo {

class TardigoDocument;

/// What a list's sync asks of the window that shows the list, so that the sync's own code needs
/// no window of its own kind.
class SyncedWindow {
public:
    /// The window itself: the parent of what the sync asks, and where it looks for open dialogs.
    virtual QWidget& widget() = 0;
    virtual TardigoDocument& document() const = 0;
    /// Commits the cell or notes editing in progress.
    virtual void finishAllEditing() = 0;
    /// Saves the list under its name, or asks for one; false when it was not saved.
    virtual bool save() = 0;
    /// Reads the list again from its file, keeping open and selected the items that are still there.
    virtual void reloadFromDisk() = 0;
    /// Enables the commands as the list is now.
    virtual void validate() = 0;

protected:
    ~SyncedWindow() = default;
};

} // namespace tardigo
