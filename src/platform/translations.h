#pragma once

class QLocale;

namespace tardigo {

/// Installs Tardigo's texts in the first of the locale's languages that has them, in place of any
/// installed before: English, the texts' own language, has no file and stops the search, so a user
/// who puts it first reads English. Every program calls it once its application object exists, before
/// it shows or stores a text; returns whether a translation was installed.
bool installTranslations(const QLocale& locale);

} // namespace tardigo
