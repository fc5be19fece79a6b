#pragma once

namespace tardigo {

/// Installs the translations of the user's language (QLocale()'s, the system's unless a test set
/// another): Tardigo's own texts (installTranslations) and Qt's dialogs from Qt's translations folder.
/// Call once, after the application object exists and before any window.
void installTranslators();

} // namespace tardigo
