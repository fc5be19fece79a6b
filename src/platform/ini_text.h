#pragma once

#include "platform/preference_table.h"

#include <QString>

#include <optional>

namespace tardigo {

/// A key as the settings file writes it: every byte but letters, digits and "-._~" percent-encoded,
/// so that paths and display names survive as keys and group names.
QString iniKey(const QString& name);
QString nameFromIniKey(const QString& key);

/// The value as the settings file writes it: `true`, `15`, `text`, a list as `a, "b, c"`, data as
/// base64, a dictionary (where one line must hold it) as `name=value, ...` with percent-encoded
/// names. Texts that need it are quoted, with \" \\ \n \t escapes. None when the value is not of
/// the kind.
std::optional<QString> iniText(const Value& value, PreferenceKind kind);
/// The value of a text of that kind; none when the text is not of the kind.
std::optional<Value> valueFromIniText(const QString& text, PreferenceKind kind);

/// The kind of one entry of a dictionary of that kind.
PreferenceKind iniElementKind(PreferenceKind dictionaryKind);
bool isDictionaryKind(PreferenceKind kind);
/// How a key Tardigo does not know is read: `true`/`false` a boolean, a whole number an integer,
/// anything else a text.
PreferenceKind inferredIniKind(const QString& text);
/// The kind a value written under a key Tardigo does not know takes; none for kinds the file
/// cannot hold (dates, nested tables).
std::optional<PreferenceKind> iniKindOfValue(const Value& value);

} // namespace tardigo
