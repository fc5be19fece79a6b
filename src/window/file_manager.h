#pragma once

#include <QString>

#include <functional>

namespace tardigo {

/// The desktop's file manager.
class FileManager {
public:
    /// Shows the file selected in a file-manager window (org.freedesktop.FileManager1 over D-Bus),
    /// or, where no file manager answers that, opens the folder that holds it.
    static void reveal(const QString& path);

    /// Tests see what would be revealed instead of a window opening.
    static void setRevealHandler(std::function<void(const QString& path)> handler);
};

} // namespace tardigo
