#pragma once

#include "model/value.h"

namespace tardigo {

/// The list's items, stripped of display and bookkeeping keys, as an XML property list whose top
/// object is the array of top-level items. The list itself is not changed.
QByteArray exportPropertyList(const Dict& root);
/// Writes the export atomically; answers an empty string or why it failed, in words. A list whose
/// items share notes or texts that would balloon written out for each is refused.
QString exportPropertyListFile(const Dict& root, const QString& path);

} // namespace tardigo
