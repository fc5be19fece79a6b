#include "print/core/print_options.h"

#include "model/keys.h"
#include "platform/user_defaults.h"

namespace tardigo {

PrintOptions PrintOptions::fromUserDefaults() {
    const UserDefaults& defaults = UserDefaults::standard();
    return {defaults.boolForKey(pref::printCheckboxes), defaults.boolForKey(pref::printIcons),
            defaults.boolForKey(pref::printNotes)};
}

} // namespace tardigo
