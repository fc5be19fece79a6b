#pragma once

#include <QByteArray>
#include <QStringList>

#include <optional>

namespace tardigo {

/// What another process asks of the running Tardigo, one JSON line on its socket.
struct InstanceRequest {
    enum class Command {
        Activate,             // show a list window (a new untitled one when none is open)
        OpenFiles,            // open these lists, or bring their windows forward
        NewItem,              // an item named `text` in the first open list
        NewItemFromSelection, // an item of the text selected on the desktop, else of the clipboard
        OpenListPaths,        // which list files are open, so that their minder is left to Tardigo
        QuickAdd,             // show the quick-add window
    };

    Command command = Command::Activate;
    QStringList files; // absolute paths
    QString text;

    QByteArray toJson() const;
    /// None for a line that is not a request, with why in `why`: not a JSON object, a command
    /// Tardigo does not know, a field of the wrong type, or files that are not absolute paths.
    /// Fields left out are empty.
    static std::optional<InstanceRequest> fromJson(const QByteArray& line, QString* why);
};

/// The running Tardigo's answer.
struct InstanceReply {
    bool ok = true;
    QString error;     // why not, in words, when not ok
    QStringList files; // for OpenListPaths

    QByteArray toJson() const;
    static std::optional<InstanceReply> fromJson(const QByteArray& line);
};

} // namespace tardigo
