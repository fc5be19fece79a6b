#include "exchange/exchange_log.h"

Q_LOGGING_CATEGORY(lcExchange, "tardigo.exchange")
