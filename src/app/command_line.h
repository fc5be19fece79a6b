#pragma once

#include <QStringList>

#include <optional>

namespace tardigo {

/// What `tardigo` was asked on its command line.
struct CommandLine {
    QStringList files;              // the lists to open, as absolute paths
    bool dark = false;              // the dark palette, whatever the desktop's
    std::optional<QString> newItem; // an item to add to the first list; empty: one to name in the front list
    bool newItemFromSelection = false; // an item of the text selected on the desktop, else of the clipboard
};

/// Reads the arguments (the program name first); --help and --version print and exit.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace tardigo
