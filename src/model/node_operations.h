#pragma once

#include "model/value.h"

namespace tardigo {

// The per-node operations of an item node.

/// Appends a history entry stamped now; a node without "history" records nothing.
void appendToLog(Dict& node, const QString& message);
/// The text under the key; empty when there is none or it is not a string.
QString stringOf(const Dict& node, const QString& key);
/// Whether the item flag under the key is set: exactly when it holds a number equal to 1.
bool flagOf(const Dict& node, const QString& key);
bool isCompleted(const Dict& node);
bool hasPartialCompletion(const Dict& node);
bool isOverdue(const Dict& node);
/// Left undone for longer than `oldDays` days (the "oldDays" preference).
bool isOld(const Dict& node, qint64 oldDays);

/// The item's due date changed: the minder announces it afresh, and a reminder counted from the due
/// date too.
void forgetDueDateNotices(Dict& node);

/// The node's "children" array, or null when it has none.
ArrayPtr childrenOf(const Dict& node);
/// The child at index as a node, or null when it is not a dictionary.
NodePtr childAt(const Array& children, qsizetype index);
/// A stored completion within 0 and 1: a damaged one outside shows as the nearer end, one that is
/// not a number as 0.
double boundedCompletion(double stored);
/// "completion" read as a float within 0 and 1; 0 when absent or not a number.
float completionOf(const Dict& node);
/// The completion as the inspector and the printout show it: a whole percentage, truncated in the
/// stored single precision.
int completionPercentOf(const Dict& node);

} // namespace tardigo
