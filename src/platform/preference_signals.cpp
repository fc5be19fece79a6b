#include "platform/preference_signals.h"

#include <QGlobalStatic>

namespace tardigo {

Q_GLOBAL_STATIC(PreferenceSignals, preferenceSignals)

PreferenceSignals& PreferenceSignals::instance() {
    return *preferenceSignals;
}

} // namespace tardigo
