#pragma once

#include "minder/sheet_window.h"

namespace tardigo {

/// Errors about files in plain words: what happened and what the user can do, with the technical
/// reason kept for "Show Details". `reason` is the sentence the reader or writer gave.

/// A list that could not be opened (or read again); `isLegacy` when it is a 1.x list.
AlertSheet openErrorSheet(const QString& path, const QString& reason, bool isLegacy);
/// A list that could not be saved; its changes are still in the window.
AlertSheet saveErrorSheet(const QString& path, const QString& reason);
/// An export that could not be written.
AlertSheet exportErrorSheet(const QString& path, const QString& reason);

} // namespace tardigo
