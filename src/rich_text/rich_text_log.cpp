#include "rich_text/rich_text_log.h"

Q_LOGGING_CATEGORY(lcRichText, "tardigo.richtext")
