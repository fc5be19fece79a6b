#include "minder/minder_log.h"

Q_LOGGING_CATEGORY(lcMinder, "tardigo.minder")
