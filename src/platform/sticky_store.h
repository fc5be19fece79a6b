#pragma once

#include "model/rgba.h"

#include <QRect>
#include <QString>

#include <optional>
#include <vector>

namespace tardigo {

/// One note kept on the desktop.
struct StickyNote {
    QString id; // stays with the note across restarts
    QString title;
    QString text;
    std::optional<Rgba> color;  // none: the note's own yellow
    std::optional<QRect> frame; // position and size; none: where the desktop puts it
    bool open = true;           // a closed note waits to be shown again

    bool operator==(const StickyNote& other) const = default;
};

/// The sticky notes kept between runs, as one JSON file in the user's data folder.
class StickyStore {
public:
    explicit StickyStore(QString path);
    /// tardigo/stickies.json in the XDG data folder.
    static QString standardPath();

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
