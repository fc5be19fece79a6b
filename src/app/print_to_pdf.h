#pragma once

#include "print/print_options.h"

#include <QString>

namespace tardigo {

/// Prints the list file into a PDF file as a window that has just opened it and expanded every
/// branch would print it, without showing a window. Answers the exit status: 0 printed, 1 failed,
/// with the reason on standard error.
int printListToPdf(const QString& listPath, const QString& pdfPath, PrintOptions options);

} // namespace tardigo
