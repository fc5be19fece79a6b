#include "window/window_log.h"

namespace tardigo {

Q_LOGGING_CATEGORY(lcWindow, "tardigo.window")

} // namespace tardigo
