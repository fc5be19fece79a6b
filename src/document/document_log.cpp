#include "document/document_log.h"

Q_LOGGING_CATEGORY(lcDocument, "tardigo.document")
