#include "application/application_log.h"

Q_LOGGING_CATEGORY(lcApplication, "tardigo.application")
