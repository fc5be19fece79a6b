#include "stickies/core/stickies_log.h"

namespace tardigo {

Q_LOGGING_CATEGORY(lcStickies, "tardigo.stickies")

} // namespace tardigo
