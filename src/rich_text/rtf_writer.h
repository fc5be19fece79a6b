#pragma once

#include "rich_text/rich_text.h"

#include <QByteArray>

#include <vector>

namespace tardigo {

/// RTF in the form the platform's own writer produces, so that the platform reads it back with the
/// same attributes; attachment runs become NeXTGraphic references to files of the RTFD container.
QByteArray writeRtf(const std::vector<TextRun>& runs);

} // namespace tardigo
