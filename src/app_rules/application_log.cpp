#include "app_rules/application_log.h"

Q_LOGGING_CATEGORY(lcApplication, "tardigo.application")
