#include "merge/merge_log.h"

Q_LOGGING_CATEGORY(lcMerge, "tardigo.merge")
