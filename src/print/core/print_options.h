#pragma once

namespace tardigo {

/// What a printout shows besides the items' texts.
struct PrintOptions {
    bool checkboxes = false;
    bool icons = false;
    bool notes = false;

    /// The options as the preferences "printCheckboxes", "printIcons" and "printNotes" say now.
    static PrintOptions fromSettings();
};

} // namespace tardigo
