#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tardigo {

/// What a dismissed alert sheet answers; its extra buttons answer extraButtonAnswer(index).
enum class AlertReturn { Default = 1, Alternate = 0, Other = -1 };

constexpr AlertReturn extraButtonAnswer(int index) {
    return AlertReturn(2 + index);
}
/// Which extra button gave the answer; -1 for the others.
constexpr int extraButtonIndex(AlertReturn answer) {
    return int(answer) >= 2 ? int(answer) - 2 : -1;
}

/// Called with the return code after the sheet has left the screen.
using AlertDismissal = std::function<void(AlertReturn answer)>;

/// The content of one alert sheet.
struct AlertSheet {
    QString title;
    QString heading;                        // the main text under a title shown in the title bar only;
                                            // empty: the title is the main text
    QString message;                        // shown character for character, never used as a format
    std::optional<QString> defaultButton;   // none: the platform's default label
    std::optional<QString> alternateButton; // none: no such button
    std::optional<QString> otherButton;     // none: no such button
    QStringList extraButtons;               // further choices, after the alternate button
    bool isCritical = false;                // shown in the caution style
    bool isInformational = false;           // an ordinary notice, not a warning
    bool alternateIsDefault = false;        // Return and Escape choose the alternate button: the default
                                            // acts for good. Else they choose the default button.
    QString details;                        // the technical reason, behind "Show Details"; empty: none
};

/// The window system seen from a document window that carries document-modal sheets.
class SheetWindow {
public:
    virtual ~SheetWindow() = default;

    /// Whether any sheet is attached, whoever began it.
    virtual bool hasAttachedSheet() const = 0;
    /// Begins an alert sheet and returns at once; the sheet counts as attached from now on. The
    /// dismissal runs after the sheet has ended.
    virtual void beginAlertSheet(const AlertSheet& sheet, AlertDismissal onDismiss) = 0;
    /// Calls the observer each time any sheet of this window has ended and is no longer attached.
    /// Answers a token for removeSheetEndedObserver.
    virtual int addSheetEndedObserver(std::function<void()> observer) = 0;
    virtual void removeSheetEndedObserver(int token) = 0;
};

} // namespace tardigo
