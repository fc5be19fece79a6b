#include "ical/ical_log.h"

namespace tardigo {

Q_LOGGING_CATEGORY(lcIcal, "tardigo.ical")
Q_LOGGING_CATEGORY(lcSync, "tardigo.sync")

} // namespace tardigo
