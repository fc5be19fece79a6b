#include "notice_channels/channels_log.h"

Q_LOGGING_CATEGORY(lcChannels, "tardigo.channels")
