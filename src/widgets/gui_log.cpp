#include "widgets/gui_log.h"

namespace tardigo {

Q_LOGGING_CATEGORY(lcWindow, "tardigo.window")
Q_LOGGING_CATEGORY(lcApp, "tardigo.app")

} // namespace tardigo
