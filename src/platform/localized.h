#pragma once

#include <QString>

#include <type_traits>

namespace tardigo {

/// The user-visible text for a key of the string table: an installed translation (context
/// "Tardigo"), else the text of the user's language (the first of QLocale()'s languages that has a
/// table), else the English text shipped for a symbolic key, else the key itself.
QString localized(const QString& key);

/// The localized text with %1, %2 ... filled in. A text without placeholders (an untranslated
/// key) is shown as it is.
template <typename... Args> QString localizedFormat(const QString& key, const Args&... args) {
    static_assert((std::is_same_v<Args, QString> && ...), "arguments are filled in as text");
    const QString text = localized(key);
    return text.contains(QLatin1String("%1")) ? text.arg(args...) : text;
}

} // namespace tardigo
