#pragma once

#include "model/value.h"

#include <QString>

#include <optional>
#include <vector>

namespace tardigo {

/// What a preference holds, which is also how the settings file writes it.
enum class PreferenceKind {
    Boolean,
    Integer,
    Real,
    String,
    StringList,
    IntegerDictionary, // a name → integer table, a group of its own in the file
    StringDictionary,  // a name → text table, a group of its own in the file
    Data,
};

/// One preference: its key, its kind and the default registered at every start (nil: none, the
/// reader gives absence its meaning).
struct Preference {
    QString key;
    PreferenceKind kind;
    Value registeredDefault;
};

/// Every preference the user may set, the registered ones first, in the order they are registered.
const std::vector<Preference>& preferenceTable();
/// The kind of a key: the table's, or by prefix for what the application keeps per list (window
/// frames, column layouts); none for a key Tardigo does not know.
std::optional<PreferenceKind> preferenceKind(const QString& key);
/// The kind in words, for messages: "true or false", "a whole number" ...
QString preferenceKindDescription(PreferenceKind kind);

} // namespace tardigo
