#include "app_rules/notice_alarm.h"

#include "document/tardigo_document.h"
#include "minder/notice_moment.h"
#include "model/clock.h"
#include "model/item_walk.h"

#include <algorithm>
#include <utility>

namespace tardigo {

namespace {

std::optional<QDateTime> earlier(const std::optional<QDateTime>& a, const std::optional<QDateTime>& b) {
    if (a && b)
        return std::min(*a, *b);
    return a ? a : b;
}

} // namespace

NoticeAlarm::NoticeAlarm(Timers& timers, std::function<void()> pass)
    : _timers(timers), _pass(std::move(pass)) {}

NoticeAlarm::~NoticeAlarm() = default;

void NoticeAlarm::setEnabled(bool enabled) {
    _enabled = enabled;
    if (enabled)
        return;
    _timer.reset();
    _moment.reset();
    _learntDuringPass.reset();
}

void NoticeAlarm::follow(TardigoDocument& document) {
    TardigoDocument* followed = &document;
    connect(followed, &TardigoDocument::itemChanging, this,
            [this, followed](const NodePtr& item) { changed(followed, item, false); });
    connect(followed, &TardigoDocument::itemsPlaced, this,
            [this, followed](const std::vector<NodePtr>& items) {
                for (const NodePtr& item : items)
                    changed(followed, item, true);
            });
    // A list read again, or saved under a name the minder watches, may hold anything.
    const auto whole = [this, followed] { changed(followed, followed->data(), true); };
    connect(followed, &TardigoDocument::dataReplaced, this, whole);
    connect(followed, &TardigoDocument::fileNameChanged, this, whole);
    whole();
}

void NoticeAlarm::changed(TardigoDocument* document, const NodePtr& item, bool withDescendants) {
    if (!_enabled || !item)
        return;
    _changed.push_back({document, item, withDescendants});
    if (!_readChanged)
        _readChanged = _timers.callOnce(std::chrono::milliseconds(0), [this] { readChanged(); });
}

void NoticeAlarm::readChanged() {
    const std::unique_ptr<PendingCall> done = std::move(_readChanged);
    const std::vector<Changed> changed = std::exchange(_changed, {});
    const qint64 now = Clock::nowMSecsSinceEpoch();
    std::optional<qint64> earliest;
    const auto read = [&](const Dict& item) { earliest = earlierMoment(earliest, noticeMoment(item, now)); };
    for (const Changed& item : changed) {
        // The minder watches lists by their files: an untitled one has no notices to give.
        if (!item.document || item.document->isClosed() || item.document->fileName().isEmpty())
            continue;
        read(*item.item);
        if (item.withDescendants)
            forEachItemBelow(*item.item, [&](const NodePtr& below, const Dict&, qsizetype) { read(*below); });
    }
    if (earliest)
        consider(QDateTime::fromMSecsSinceEpoch(*earliest));
}

void NoticeAlarm::passStarted() {
    _passRunning = true;
    _learntDuringPass.reset();
}

void NoticeAlarm::passEnded(const std::optional<QDateTime>& found) {
    _passRunning = false;
    if (!_enabled)
        return;
    // A change the pass had read before it was made may come earlier than anything the pass found.
    _moment = earlier(found, std::exchange(_learntDuringPass, std::nullopt));
    arm();
}

void NoticeAlarm::consider(const QDateTime& moment) {
    if (!_enabled)
        return;
    if (_passRunning)
        _learntDuringPass = earlier(_learntDuringPass, moment);
    if (_moment && *_moment <= moment)
        return;
    _moment = moment;
    arm();
}

void NoticeAlarm::rearm() {
    arm();
}

void NoticeAlarm::arm() {
    _timer.reset();
    if (!_moment)
        return;
    const qint64 wait = std::clamp<qint64>(_moment->toMSecsSinceEpoch() - Clock::nowMSecsSinceEpoch(), 0,
                                           kLongestWait.count());
    _timer = _timers.callOnce(std::chrono::milliseconds(wait), [this] { rang(); });
}

void NoticeAlarm::rang() {
    // Released first: the pass may arm the alarm again.
    const std::unique_ptr<PendingCall> done = std::move(_timer);
    if (!_moment)
        return;
    if (Clock::nowMSecsSinceEpoch() < _moment->toMSecsSinceEpoch()) {
        arm();
        return;
    }
    _moment.reset();
    _pass();
}

} // namespace tardigo
