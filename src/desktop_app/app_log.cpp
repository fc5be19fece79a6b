#include "desktop_app/app_log.h"

Q_LOGGING_CATEGORY(lcApp, "tardigo.app")
