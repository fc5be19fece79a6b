#pragma once

#include "archive/legacy_classes.h"
#include "model/value.h"

namespace tardigo {

/// Appends the node of each item of the envelope, in order, to the root's children. Answers false at
/// the first element that is not a ToDoItem, leaving the nodes converted before it.
bool importTardigo1xDocument(const TardigoDocumentEnvelope& envelope, Dict& root);

} // namespace tardigo
