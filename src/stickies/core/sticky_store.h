#pragma once

#include "model/rgba.h"

#include <QRect>
#include <QString>

#include <optional>
#include <vector>

namespace tardigo {

/// One note kept on the desktop: what an item showed when it was last seen, and where to find the
/// item again.
struct StickyNote {
    QString id; // stays with the note across restarts
    QString title;
    QString text;               // the notes as plain text; what a note made by earlier versions holds
    QByteArray notes;           // the item's notes as the list stores them; empty when they are kept as text
    QString fontName;           // the item's own font; empty: the default font of items
    int fontSize = 0;           // points; 0: the font's default size
    std::optional<Rgba> color;  // none: the note's own yellow
    std::optional<QRect> frame; // position and size; none: where the desktop puts it
    bool open = true;           // a closed note waits to be shown again
    QString listPath;           // the list that holds the item; empty for an untitled list
    QString itemCreated;        // the item's "date created", as stored
    QString itemUid;            // the item's "uid", when it has one

    /// The note shows an item, rather than a text of its own (as notes of earlier versions do).
    bool showsItem() const { return !itemCreated.isEmpty() || !itemUid.isEmpty(); }
    bool operator==(const StickyNote& other) const = default;
};

/// The sticky notes kept between runs, as one JSON file in the user's data folder.
class StickyStore {
public:
    explicit StickyStore(QString path);
    /// tardigo/stickies.json in the XDG data folder.
    static QString standardPath();

    /// Notes larger than this, as the list stores them, are kept as plain text.
    static constexpr qsizetype kLargestKeptNotes = 1024 * 1024;
    /// The largest file read; a larger one is set aside as one that does not read.
    static constexpr qint64 kLargestFile = 64 * 1024 * 1024;

    /// The notes kept; none when there is no file. A file that does not read gives none too, with a
    /// log line, and is set aside so that the next save does not lose it.
    std::vector<StickyNote> load() const;
    /// Writes every note at once, atomically; an empty string, or why not in words.
    QString save(const std::vector<StickyNote>& notes) const;

    const QString& path() const { return _path; }

private:
    QString _path;
};

} // namespace tardigo
