#include "sync/sync_cancel.h"

namespace tardigo {

void SyncCancel::cancel() {
    if (!_cancelled.exchange(true))
        emit cancelled();
}

} // namespace tardigo
