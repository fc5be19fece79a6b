#pragma once

#include <QStringList>

#include <optional>

namespace tardigo {

/// What `tardigo` was asked on its command line.
struct CommandLine {
    QStringList files;              // the lists to open
    bool dark = false;              // the dark palette, whatever the desktop's
    std::optional<QString> newItem; // an item to add to the front list; empty: one to name
};

/// Reads the arguments (the program name first); --help and --version print and exit.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace tardigo
