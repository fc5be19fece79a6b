#include "dialogs/output_confirmation.h"

#include "archive/output_guard.h"
#include "dialogs/dialog_service.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tardigo {

namespace {

/// Why the output was refused, in words that say what to do instead.
QString refusalMessage(OutputCheck::Verdict verdict) {
    if (verdict == OutputCheck::Verdict::IsInput)
        return QCoreApplication::translate(
            "OutputConfirmation", "It is the list being printed or exported. Choose another file name.");
    if (verdict == OutputCheck::Verdict::IsList)
        return QCoreApplication::translate(
            "OutputConfirmation",
            "It is a Tardigo list, which a printout or an export never replaces. Choose another file name.");
    return QCoreApplication::translate("OutputConfirmation",
                                       "It is a folder or a device, not a file. Choose a file name.");
}

} // namespace

bool confirmOutput(QWidget* window, const QString& path, const QStringList& inputs, bool replaceAgreed) {
    const OutputCheck check = checkOutput(path, OutputKind::Other, inputs);
    if (check.verdict == OutputCheck::Verdict::Free)
        return true;
    if (check.verdict == OutputCheck::Verdict::Exists)
        return replaceAgreed || DialogService::agreesToReplace(window, path);
    Message refusal;
    refusal.title = QCoreApplication::translate("OutputConfirmation", "“%1” was not replaced.")
                        .arg(QFileInfo(path).fileName());
    refusal.text = refusalMessage(check.verdict);
    refusal.details = QDir::toNativeSeparators(path);
    DialogService::error(window, refusal);
    return false;
}

} // namespace tardigo
