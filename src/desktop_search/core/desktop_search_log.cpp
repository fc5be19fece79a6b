#include "desktop_search/core/desktop_search_log.h"

namespace tardigo {

Q_LOGGING_CATEGORY(lcDesktopSearch, "tardigo.desktopsearch")

} // namespace tardigo
