#pragma once

#include "print/core/print_options.h"

#include <QString>

namespace tardigo {

/// Prints the list file into a PDF file as a window that has just opened it and expanded every
/// branch would print it, without showing a window. The PDF never replaces the list, nor any other
/// list, and another file only when `replace`; it is written whole or not at all. Answers the exit
/// status: 0 printed, 1 refused or failed, with the reason on standard error.
int printListToPdf(const QString& listPath, const QString& pdfPath, PrintOptions options, bool replace);

} // namespace tardigo
