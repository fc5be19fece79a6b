#pragma once

#include "minder/item_status.h"
#include "model/value.h"

#include <QString>

namespace tardigo {

class AlertQueue;

/// What the minder needs of an open list: its tree and file, its window's alert queue, and a say in
/// each notice. The document implements it, so the minder never depends on the document.
class MinderDocument {
public:
    virtual ~MinderDocument() = default;

    virtual const NodePtr& data() const = 0;
    virtual QString fileName() const = 0;
    /// The alert queue of the list's window; null without a window.
    virtual AlertQueue* alertQueue() const = 0;
    /// Brings the list's windows on screen; a list opened without one becomes visible.
    virtual void showWindows() = 0;
    /// The item's value under key was changed by the minder; `wasCompleted` is how it stood before.
    virtual void refreshItem(const NodePtr& item, const QString& key, bool wasCompleted) = 0;
    /// Records a notice for the list's node matching `node`: its minder timestamps, the item being
    /// reminded of, and a later due date the minder worked out.
    virtual void minderWithNode(const NodePtr& node, const QString& message, ItemStatus status) = 0;
};

} // namespace tardigo
