#include "document/autosave_scheduler.h"

#include "document/tardigo_document.h"
#include "model/clock.h"
#include "platform/settings.h"

#include <algorithm>

namespace tardigo {

AutosaveScheduler::AutosaveScheduler(TardigoDocument& document, Save save, Timers& timers)
    : QObject(&document), _document(document), _save(std::move(save)), _timers(timers) {
    connect(&document, &TardigoDocument::changeCounted, this, &AutosaveScheduler::documentChanged);
    connect(&document, &TardigoDocument::closed, this, [this] { _pending.reset(); });
    // A list that got a file may be asked again; one saved clean may be tried again.
    connect(&document, &TardigoDocument::fileNameChanged, this, [this] { _declined = false; });
    connect(&document, &TardigoDocument::editedChanged, this, [this](bool edited) {
        if (!edited)
            _failed = false;
    });
}

AutosaveScheduler::~AutosaveScheduler() = default;

bool AutosaveScheduler::mayAsk() const {
    return !_failed && !(_declined && _document.fileName().isEmpty());
}

bool AutosaveScheduler::savesByItself() const {
    return Settings::instance().autoSave() ||
           (_document.hasOnlyMinderChanges() && !_document.fileName().isEmpty());
}

void AutosaveScheduler::documentChanged() {
    if (_pending || _document.isClosed() || !mayAsk() || !savesByItself())
        return;
    const qint64 now = Clock::nowMSecsSinceEpoch();
    const qint64 wait = _lastSaveMSecs ? std::clamp<qint64>(*_lastSaveMSecs + kMinimumInterval.count() - now,
                                                            0, kMinimumInterval.count())
                                       : 0;
    saveAfter(std::chrono::milliseconds(wait));
}

void AutosaveScheduler::saveAfter(std::chrono::milliseconds wait) {
    _pending = _timers.callOnce(wait, [this] {
        // Released first: a save may count a change of its own, which must schedule anew.
        const std::unique_ptr<PendingCall> done = std::move(_pending);
        // The user may have changed the list meanwhile: the minder's changes then wait with theirs.
        if (savesByItself())
            autoSave();
    });
}

void AutosaveScheduler::autoSave() {
    if (!_document.isDocumentEdited() || _document.isClosed() || !mayAsk())
        return;
    _pending.reset();
    _lastSaveMSecs = Clock::nowMSecsSinceEpoch();
    switch (_save()) {
    case Outcome::Saved:
        break;
    case Outcome::Failed:
        _failed = true;
        break;
    case Outcome::Declined:
        _declined = true;
        break;
    case Outcome::Postponed:
        saveAfter(kMinimumInterval);
        break;
    }
}

} // namespace tardigo
