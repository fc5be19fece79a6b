#pragma once

#include "print/core/print_options.h"

#include <QStringList>

#include <optional>

namespace tardigo {

/// What `tardigo` was asked on its command line.
struct CommandLine {
    QStringList files;              // the lists to open, as absolute paths
    bool dark = false;              // the dark palette, whatever the desktop's
    std::optional<QString> newItem; // an item to add to the first list; empty: one to name in the front list
    bool newItemFromSelection = false; // an item of the text selected on the desktop, else of the clipboard
    bool quickAdd = false;             // show the quick-add window
    bool searchProvider = false;       // started by the desktop to answer its search, without a window
    std::optional<QString> printToPdf; // print the one list named into this PDF file, without a window
    PrintOptions printOptions;         // what that printout shows besides the texts
    bool replacePdf = false;           // that PDF file may replace an existing file (--force)
};

/// Whether the arguments ask for what needs no display: a printout, the help or the version.
bool asksForNoWindow(int argc, char** argv);

/// Reads the arguments (the program name first); --help and --version print and exit.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace tardigo
