#pragma once

#include <QString>
#include <QStringList>

namespace tardigo {

/// What a command writes: a list, which may replace another list once the user agrees, or a file of
/// another kind (a printout, an export, a calendar), which never replaces a list.
enum class OutputKind { List, Other };

/// Whether a command may write its output where it was told to, and if not, why.
struct OutputCheck {
    enum class Verdict {
        Free,     // nothing is there (a link to nothing creates its target)
        Exists,   // another file is there: replace it only when the user agrees
        IsInput,  // a file the command reads, under this or another name, through a link or not
        IsList,   // a Tardigo list, and the output is of another kind
        NotAFile, // a folder, a pipe, a device
    };
    Verdict verdict = Verdict::Free;
    QString reason; // for the command line: a sentence naming the output, for all but Free

    /// Whether the output may be written, given whether the user agreed to replace a file.
    bool allows(bool replaceAgreed) const {
        return verdict == Verdict::Free || (verdict == Verdict::Exists && replaceAgreed);
    }
};

/// The one check of every command and dialog that writes a file, made before anything is read or
/// written: an output never replaces a file the command reads (`inputs`), which it recognises on
/// disk whatever the spelling, symbolic or hard link; never a folder or a device; never a list
/// unless it is one; and another existing file only when the user agrees (--force, or the
/// question a save dialog asks).
OutputCheck checkOutput(const QString& output, OutputKind kind, const QStringList& inputs);

} // namespace tardigo
