#include "archive/archive_log.h"

Q_LOGGING_CATEGORY(lcArchive, "tardigo.archive")
