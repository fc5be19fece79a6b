#pragma once

#include <QCoreApplication>
#include <QString>
#include <QUrl>

class QWidget;

namespace tardigo {

/// The Help menu's commands. There is no update check: Linux users update through their package
/// manager.
class HelpCommands {
    Q_DECLARE_TR_FUNCTIONS(HelpCommands)

public:
    /// The user guide installed with the program, or the one built beside it; empty when neither is.
    static QString userGuidePath();
    /// Opens the user guide in the web browser, or says where it was looked for.
    static void showHelp(QWidget* parent);
    /// A new e-mail to the makers, its subject the product, the version and "Feedback".
    static QUrl feedbackUrl(const QString& version);
    static void sendFeedback();
    /// The version and the licence.
    static void showAbout(QWidget* parent);
};

} // namespace tardigo
