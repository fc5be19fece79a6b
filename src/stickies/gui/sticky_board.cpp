#include "stickies/gui/sticky_board.h"

#include "dialogs/dialog_service.h"
#include "document/tardigo_document.h"
#include "model/core_log.h"
#include "stickies/core/sticky_notes.h"
#include "stickies/gui/sticky_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>

namespace tardigo {

namespace {
constexpr int kSaveDelayMsecs = 500;
constexpr QSize kNewNoteSize(240, 200);
constexpr QPoint kCascadeStep(24, 24);

bool sameFile(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath()
                               : canonical == QFileInfo(b).canonicalFilePath();
}
} // namespace

StickyBoard::StickyBoard(const QString& storePath, QObject* parent)
    : QObject(parent), _store(storePath), _notes(_store.load()) {
    _saveSoon.setSingleShot(true);
    _saveSoon.setInterval(kSaveDelayMsecs);
    connect(&_saveSoon, &QTimer::timeout, this, &StickyBoard::save);
    // Changes of the items come in bursts (a command, its refresh): the notes follow them once.
    _refreshSoon.setSingleShot(true);
    _refreshSoon.setInterval(0);
    connect(&_refreshSoon, &QTimer::timeout, this, &StickyBoard::refresh);
    _modalityChanged.setSingleShot(true);
    _modalityChanged.setInterval(0);
    connect(&_modalityChanged, &QTimer::timeout, this, &StickyBoard::keepBelowModalWindows);
    qApp->installEventFilter(this);
    for (StickyNote& note : _notes)
        if (note.open)
            open(note);
}

StickyBoard::~StickyBoard() {
    // The notes' windows hide as they go, after the timer the filter starts.
    qApp->removeEventFilter(this);
    if (_saveSoon.isActive())
        save();
}

void StickyBoard::add(TardigoDocument& document, const std::vector<NodePtr>& items) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    QPoint place = (screen ? screen->availableGeometry().topLeft() : QPoint()) + QPoint(40, 40) +
                   kCascadeStep * int(_windows.size());
    watch(document);
    const std::vector<StickyNote> notes = stickyNotesForItems(items, document.fileName());
    for (size_t i = 0; i < notes.size(); ++i) {
        StickyNote note = notes[i];
        note.frame = QRect(place, kNewNoteSize);
        place += kCascadeStep;
        _followed[note.id] = {&document, items[i]};
        _notes.push_back(note);
        open(_notes.back());
    }
    save();
}

void StickyBoard::follow(TardigoDocument& document) {
    bool found = false;
    for (const StickyNote& note : _notes) {
        if (!note.showsItem() || _followed.count(note.id) || !sameFile(note.listPath, document.fileName()))
            continue;
        if (const NodePtr item = findStickyItem(document.data(), note, nullptr)) {
            _followed[note.id] = {&document, item};
            found = true;
        }
    }
    if (!found)
        return;
    watch(document);
    // The list may have changed since the notes last saw it.
    _refreshSoon.start();
}

void StickyBoard::watch(TardigoDocument& document) {
    std::erase_if(_watched, [](const QPointer<TardigoDocument>& watched) { return watched.isNull(); });
    if (std::find(_watched.begin(), _watched.end(), &document) != _watched.end())
        return;
    _watched.emplace_back(&document);
    connect(&document, &TardigoDocument::changeCounted, &_refreshSoon, qOverload<>(&QTimer::start));
    connect(&document, &TardigoDocument::dataReplaced, &_refreshSoon, qOverload<>(&QTimer::start));
    connect(&document, &TardigoDocument::fileNameChanged, this,
            [this, &document](const QString& path) { listRenamed(document, path); });
    connect(&document, &TardigoDocument::closed, this, [this, &document] {
        std::erase_if(_followed, [&](const auto& entry) { return entry.second.document == &document; });
    });
}

void StickyBoard::refresh() {
    bool changed = false;
    for (auto entry = _followed.begin(); entry != _followed.end();) {
        StickyNote* note = find(entry->first);
        TardigoDocument* document = entry->second.document;
        if (!note || !document) {
            entry = _followed.erase(entry);
            continue;
        }
        // An item deleted from the list leaves its note as it was; undoing the deletion brings it back.
        const NodePtr known = entry->second.item.lock();
        const NodePtr item = findStickyItem(document->data(), *note, known.get());
        if (item) {
            entry->second.item = item;
            const StickyNote now = stickyNoteShowing(*item, *note);
            if (now != *note) {
                *note = now;
                if (StickyWindow* window = windowOf(note->id))
                    window->setNote(now);
                changed = true;
            }
        }
        ++entry;
    }
    if (changed)
        _saveSoon.start();
}

void StickyBoard::listRenamed(const TardigoDocument& document, const QString& path) {
    for (StickyNote& note : _notes) {
        const auto followed = _followed.find(note.id);
        if (followed != _followed.end() && followed->second.document == &document)
            note.listPath = path;
    }
    _saveSoon.start();
}

void StickyBoard::showAll() {
    for (StickyNote& note : _notes) {
        if (note.open)
            continue;
        note.open = true;
        open(note);
    }
    save();
}

bool StickyBoard::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && watched->isWindowType())
        _modalityChanged.start();
    return QObject::eventFilter(watched, event);
}

void StickyBoard::keepBelowModalWindows() {
    // A note above a question would hide its text, or the very button that answers it.
    const bool modal = QGuiApplication::modalWindow() != nullptr;
    for (const std::unique_ptr<StickyWindow>& window : _windows)
        window->setAboveOthers(!modal);
}

void StickyBoard::open(StickyNote& note) {
    auto window = std::make_unique<StickyWindow>(note);
    const QString id = note.id;
    connect(window.get(), &StickyWindow::changed, this, [this, id] { noteChanged(id); });
    connect(window.get(), &StickyWindow::closeRequested, this, [this, id] { close(id); });
    connect(window.get(), &StickyWindow::deleteRequested, this, [this, id] { remove(id); });
    window->show();
    _windows.push_back(std::move(window));
}

StickyWindow* StickyBoard::windowOf(const QString& id) const {
    for (const std::unique_ptr<StickyWindow>& window : _windows)
        if (window->id() == id)
            return window.get();
    return nullptr;
}

StickyNote* StickyBoard::find(const QString& id) {
    for (StickyNote& note : _notes)
        if (note.id == id)
            return &note;
    return nullptr;
}

void StickyBoard::noteChanged(const QString& id) {
    StickyNote* note = find(id);
    const StickyWindow* window = windowOf(id);
    if (!note || !window)
        return;
    *note = window->note();
    _saveSoon.start();
}

void StickyBoard::close(const QString& id) {
    if (StickyNote* note = find(id))
        note->open = false;
    closeWindow(id);
    save();
}

void StickyBoard::remove(const QString& id) {
    const StickyNote* note = find(id);
    if (!note)
        return;
    const QMessageBox::StandardButton answer = DialogService::question(
        windowOf(id), QMessageBox::Question, tr("Delete Sticky Note"),
        tr("Delete the sticky note “%1”?").arg(note->title),
        tr("The note goes for good; the item stays in its list. To keep the note for later, hide it "
           "instead."),
        QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel, {{QMessageBox::Yes, tr("Delete")}});
    if (answer != QMessageBox::Yes)
        return;
    _followed.erase(id);
    std::erase_if(_notes, [&](const StickyNote& kept) { return kept.id == id; });
    closeWindow(id);
    save();
}

void StickyBoard::closeWindow(const QString& id) {
    const auto found =
        std::find_if(_windows.begin(), _windows.end(),
                     [&](const std::unique_ptr<StickyWindow>& window) { return window->id() == id; });
    if (found == _windows.end())
        return;
    // Asked from the window's own button: it goes once that has returned.
    StickyWindow* window = found->release();
    window->hide();
    window->deleteLater();
    _windows.erase(found);
}

void StickyBoard::save() {
    _saveSoon.stop();
    if (const QString error = _store.save(_notes); !error.isEmpty())
        qCWarning(lcStickies).noquote() << "the sticky notes were not kept:" << error;
}

} // namespace tardigo
