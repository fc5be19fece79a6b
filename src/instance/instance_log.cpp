#include "instance/instance_log.h"

Q_LOGGING_CATEGORY(lcInstance, "tardigo.instance")
