#pragma once

#include "platform/timers.h"

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace tardigo {

class TardigoDocument;

/// Saves a list by itself while "autoSave" is on, and, whatever it says, the minder's own changes to
/// a list that has a file and nothing unsaved of the user's (with the user's they wait for them).
/// Changes are gathered: a save comes at most once a second, and the last change is on disk about a
/// second after it was made at the latest, so that quick changes to a large list are never held up by
/// a save each. Lives as long as its document and stops when the document closes.
class AutosaveScheduler : public QObject {
    Q_OBJECT
public:
    /// How a save ended. Declined: an untitled list whose user chose no file. Postponed: not now
    /// (asking for a file while the user types in a cell would end the typing); it is tried again.
    enum class Outcome { Saved, Failed, Declined, Postponed };
    using Save = std::function<Outcome()>;

    static constexpr std::chrono::milliseconds kMinimumInterval{1000};

    /// `save` saves the list as the Save command does, asking for a file when it has none.
    AutosaveScheduler(TardigoDocument& document, Save save, Timers& timers = Timers::eventLoop());
    ~AutosaveScheduler() override;

    /// A change was counted: a save follows when "autoSave" is on.
    void documentChanged();
    /// Saves now when the list has unsaved changes.
    void autoSave();
    bool isSavePending() const { return _pending != nullptr; }

private:
    /// An untitled list is asked for a file once; a save that failed waits for the next clean state.
    bool mayAsk() const;
    /// Whether the list's unsaved changes are to be saved without the user.
    bool savesByItself() const;
    void saveAfter(std::chrono::milliseconds wait);

    TardigoDocument& _document;
    Save _save;
    Timers& _timers;
    std::unique_ptr<PendingCall> _pending;
    std::optional<qint64> _lastSaveMSecs;
    bool _declined = false;
    bool _failed = false;
};

} // namespace tardigo
