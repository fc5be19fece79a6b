#pragma once

#include <QString>

class QPageLayout;

namespace tardigo {

class PrintView;

/// Prints into a PDF file as a list is saved: into a new file beside it, every write and the sync
/// to disk checked, and only then in its place, so that a failure (a full disk) leaves the file that
/// was there as it was. `paper` gives the pages' size and orientation. Answers an empty string, or
/// a sentence naming the file and why.
QString printToPdfFile(PrintView& view, const QString& path, const QPageLayout& paper);

} // namespace tardigo
