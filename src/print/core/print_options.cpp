#include "print/core/print_options.h"

#include "platform/settings.h"

namespace tardigo {

PrintOptions PrintOptions::fromSettings() {
    const Settings& settings = Settings::instance();
    return {settings.printCheckboxes(), settings.printIcons(), settings.printNotes()};
}

} // namespace tardigo
