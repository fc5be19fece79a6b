#include "caldav/caldav_log.h"

Q_LOGGING_CATEGORY(lcCalDav, "tardigo.caldav")
