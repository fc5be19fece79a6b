#include "agenda/core/agenda_log.h"

Q_LOGGING_CATEGORY(lcAgenda, "tardigo.agenda")
