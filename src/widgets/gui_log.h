#pragma once

#include <QLoggingCategory>

namespace tardigo {

// The desktop application's logging categories; users filter the log by these names.
Q_DECLARE_LOGGING_CATEGORY(lcWindow)
Q_DECLARE_LOGGING_CATEGORY(lcApp)

} // namespace tardigo
