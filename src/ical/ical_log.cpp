#include "ical/ical_log.h"

Q_LOGGING_CATEGORY(lcIcal, "tardigo.ical")
