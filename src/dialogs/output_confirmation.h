#pragma once

#include <QStringList>

class QWidget;

namespace tardigo {

/// Whether the window may write a printout or an export where the user chose: never over a file it
/// reads (`inputs`, the list itself under any name or link), over any Tardigo list, a folder or a
/// device, which it says; over another existing file only when the user agreed, which it asks
/// unless a dialog already did (`replaceAgreed`).
bool confirmOutput(QWidget* window, const QString& path, const QStringList& inputs, bool replaceAgreed);

} // namespace tardigo
