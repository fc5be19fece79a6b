#pragma once

#include "minder/minder_host.h"
#include "minder/notice_channels.h"

#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace tardigo {

class ErrorReporter;
class TardigoDocument;

/// What the application's rules need of the desktop around them: its list windows, the minder's
/// way to the lists and to the user, and the file locator. The desktop application implements it;
/// tests put in one without windows.
class ApplicationHost : public MinderHost {
public:
    /// The open lists, in the order they were opened.
    virtual std::vector<TardigoDocument*> documents() const = 0;
    /// The list of the window in front; null when no list window is in front.
    virtual TardigoDocument* currentDocument() const = 0;
    /// The open list of that file, whatever the spelling of its path; null when it is not open.
    virtual TardigoDocument* openDocumentForFileName(const QString& path) const = 0;
    /// Opens the list at path in a window and shows it; null when it cannot, after telling the user.
    virtual TardigoDocument* openDocument(const QString& path) = 0;
    virtual void openUntitledDocument() = 0;
    /// Saves the list now if it has unsaved changes, as autosave does.
    virtual void autoSave(TardigoDocument& document) = 0;

    virtual NoticeChannels noticeChannels() = 0;
    virtual ErrorReporter& errorReporter() = 0;
    /// Asks the file locator for list files without making the caller wait; `done` follows on the
    /// event loop with its answer (none: it could not tell).
    virtual void locateTodoItems(std::function<void(const std::optional<QStringList>&)> done) = 0;
};

} // namespace tardigo
