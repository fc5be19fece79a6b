#pragma once

#include <QIcon>
#include <QString>

namespace tardigo {

/// The image of an icon name: a built-in icon ("vk_check1", "done-toolbar-item") from the resources,
/// any other name read as the path of an image file. Null when the name is empty or yields no image.
QIcon iconForName(const QString& name);

} // namespace tardigo
