#include "alerts/message_host.h"

namespace tardigo {

// Out of line: the vtable's one home, and the source through which the meta-object compiler finds
// the header.
MessageHost::~MessageHost() = default;

} // namespace tardigo
