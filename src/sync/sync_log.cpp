#include "sync/sync_log.h"

Q_LOGGING_CATEGORY(lcSync, "tardigo.sync")
