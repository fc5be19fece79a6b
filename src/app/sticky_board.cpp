#include "app/sticky_board.h"

#include "app/app_log.h"
#include "app/sticky_window.h"

#include <QGuiApplication>
#include <QScreen>

namespace tardigo {

namespace {
constexpr int kSaveDelayMsecs = 500;
constexpr QSize kNewNoteSize(240, 200);
constexpr QPoint kCascadeStep(24, 24);
} // namespace

StickyBoard::StickyBoard(const QString& storePath, QObject* parent)
    : QObject(parent), _store(storePath), _notes(_store.load()) {
    _saveSoon.setSingleShot(true);
    _saveSoon.setInterval(kSaveDelayMsecs);
    connect(&_saveSoon, &QTimer::timeout, this, &StickyBoard::save);
    for (StickyNote& note : _notes)
        if (note.open)
            open(note);
}

StickyBoard::~StickyBoard() {
    if (_saveSoon.isActive())
        save();
}

void StickyBoard::add(const std::vector<StickyNote>& notes) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    QPoint place = (screen ? screen->availableGeometry().topLeft() : QPoint()) + QPoint(40, 40) +
                   kCascadeStep * int(_windows.size());
    for (StickyNote note : notes) {
        note.frame = QRect(place, kNewNoteSize);
        place += kCascadeStep;
        _notes.push_back(note);
        open(_notes.back());
    }
    save();
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
    std::erase_if(_notes, [&](const StickyNote& note) { return note.id == id; });
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
        qCWarning(lcApp).noquote() << "the sticky notes were not kept:" << error;
}

} // namespace tardigo
