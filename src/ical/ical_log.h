#pragma once

#include <QLoggingCategory>

namespace tardigo {

// The calendar library's logging categories; users filter the log by these names.
Q_DECLARE_LOGGING_CATEGORY(lcIcal)
Q_DECLARE_LOGGING_CATEGORY(lcSync)

} // namespace tardigo
