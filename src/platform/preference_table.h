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

/// The numbers a number preference takes.
struct NumberRange {
    double lowest = 0;
    double highest = 0;
    bool endsOnly = false; // a choice of the two ends, nothing between them

    bool contains(double number) const;
    /// In words: "from 1 to 10080", "0 or 2".
    QString description() const;
};

/// One preference: its key, its kind, the default registered at every start (absent: none, the
/// reader gives absence its meaning) and, for numbers, the range it takes (for a name → number
/// table, the range of each of its numbers). A value outside the range reads as no value at all.
struct Preference {
    QString key;
    PreferenceKind kind;
    Value registeredDefault;
    std::optional<NumberRange> range = std::nullopt;
};

/// Every preference the user may set, the registered ones first, in the order they are registered.
const std::vector<Preference>& preferenceTable();
/// The kind of a key: the table's, or by prefix for what the application keeps per list (window
/// frames, column layouts); none for a key Tardigo does not know.
std::optional<PreferenceKind> preferenceKind(const QString& key);
/// The kind in words, for messages: "true or false", "a whole number" ...
QString preferenceKindDescription(PreferenceKind kind);
/// The preference of that key; null for a key Tardigo does not keep in its table.
const Preference* preferenceForKey(const QString& key);
/// Whether the value lies in the range of the preference of that key (each number of a table);
/// any value does for a preference without a range.
bool preferenceAccepts(const QString& key, const Value& value);

} // namespace tardigo
