#pragma once

#include "alerts/message.h"
#include "document/file_merge.h"

#include <QStringList>

namespace tardigo {

/// Errors about files in plain words: what happened and what the user can do, with the technical
/// reason kept for "Show Details". `reason` is the sentence the reader or writer gave.

/// A list that could not be opened (or read again); `isLegacy` when it is a 1.x list.
Message openErrorMessage(const QString& path, const QString& reason, bool isLegacy);
/// A list that could not be saved; its changes are still in the window.
Message saveErrorMessage(const QString& path, const QString& reason);
/// An export that could not be written.
Message exportErrorMessage(const QString& path, const QString& reason);

/// A merge of the changes in a list's file with the window's that was refused, and why; nothing changed.
Message mergeRefusalMessage(const QString& path, FileMerge::Outcome why, const QString& reason);
/// Items changed both in the window and in the file, each now followed by the file's version.
Message mergeConflictMessage(const QString& path, const QStringList& names);

/// What a sync of a list with its folder tells the user.

/// A sync that stopped; `reason` is the sentence the sync gave, which names what to mend.
Message syncFailureMessage(const QString& listPath, const QString& folder, const QString& reason);
/// A sync that stopped because the server could not be reached; `reason` names the cause, and
/// `failures` what was not written on the way.
Message syncUnreachableMessage(const QString& listPath, const QString& folder, const QString& reason,
                               const QStringList& failures);
/// Items changed on both sides, each now beside its other version.
Message syncConflictMessage(const QString& listPath, const QStringList& names);
/// Items that came with a repeat rule no period expresses, kept without a repeat.
Message syncKeptRulesMessage(const QString& listPath, const QStringList& names);
/// Files of the folder that the sync passed over, a sentence each.
Message syncPassedOverMessage(const QString& folder, const QStringList& problems);
/// Files the sync could not write or remove, a sentence each; their items wait for the next sync.
Message syncWriteFailureMessage(const QString& listPath, const QString& folder, const QStringList& failures);
/// Whether the list may sync with the folder it names, which it was never synced with here. The
/// accept button syncs; Return does not.
Message syncBindQuestion(const QString& listPath, const QString& folder);
/// Whether to remove `count` items whose files are gone from a folder that lost `lost` of the
/// `synced` to-dos it held. The accept button removes them; Return keeps them.
Message syncRemovalQuestion(const QString& listPath, const QString& folder, int count, int lost, int synced);

} // namespace tardigo
