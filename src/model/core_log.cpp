#include "model/core_log.h"

namespace tardigo {

Q_LOGGING_CATEGORY(lcModel, "tardigo.model")
Q_LOGGING_CATEGORY(lcMerge, "tardigo.merge")
Q_LOGGING_CATEGORY(lcPlatform, "tardigo.platform")
Q_LOGGING_CATEGORY(lcRichText, "tardigo.richtext")
Q_LOGGING_CATEGORY(lcArchive, "tardigo.archive")
Q_LOGGING_CATEGORY(lcExchange, "tardigo.exchange")
Q_LOGGING_CATEGORY(lcMinder, "tardigo.minder")
Q_LOGGING_CATEGORY(lcAgenda, "tardigo.agenda")
Q_LOGGING_CATEGORY(lcDesktopSearch, "tardigo.desktopsearch")
Q_LOGGING_CATEGORY(lcDocument, "tardigo.document")
Q_LOGGING_CATEGORY(lcStickies, "tardigo.stickies")
Q_LOGGING_CATEGORY(lcApplication, "tardigo.application")

} // namespace tardigo
