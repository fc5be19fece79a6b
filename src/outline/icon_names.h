#pragma once

#include <QString>

namespace tardigo {

/// The name a person reads for an icon of the icon list, in the user's language: "Red bullet" for
/// the built-in "vk_red-bullet", an image file's name without its folder and extension. Lists and
/// preferences keep storing the identifier; only this name is shown.
QString iconDisplayName(const QString& icon);

} // namespace tardigo
