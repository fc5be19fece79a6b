#pragma once

#include <QLoggingCategory>

namespace tardigo {

Q_DECLARE_LOGGING_CATEGORY(lcDesktopSearch)

} // namespace tardigo
