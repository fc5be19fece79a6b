#pragma once

#include <QLoggingCategory>

namespace tardigo {

// The core's logging categories, one a folder; users filter the log by these names.
Q_DECLARE_LOGGING_CATEGORY(lcModel)
Q_DECLARE_LOGGING_CATEGORY(lcMerge)
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
Q_DECLARE_LOGGING_CATEGORY(lcRichText)
Q_DECLARE_LOGGING_CATEGORY(lcArchive)
Q_DECLARE_LOGGING_CATEGORY(lcExchange)
Q_DECLARE_LOGGING_CATEGORY(lcMinder)
Q_DECLARE_LOGGING_CATEGORY(lcAgenda)
Q_DECLARE_LOGGING_CATEGORY(lcDesktopSearch)
Q_DECLARE_LOGGING_CATEGORY(lcDocument)
Q_DECLARE_LOGGING_CATEGORY(lcStickies)
Q_DECLARE_LOGGING_CATEGORY(lcApplication)

} // namespace tardigo
