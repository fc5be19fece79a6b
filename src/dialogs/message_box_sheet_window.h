#pragma once

#include "alerts/sheet_window.h"

#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>

class QMessageBox;

namespace tardigo {

/// A document window's alert sheets as window-modal message boxes, one at a time. Made shared, as
/// the window and the alert queue both hold it.
class MessageBoxSheetWindow : public SheetWindow, public std::enable_shared_from_this<MessageBoxSheetWindow> {
public:
    explicit MessageBoxSheetWindow(QWidget* window) : _window(window) {}

    bool hasAttachedSheet() const override { return !_sheet.isNull(); }
    void beginAlertSheet(const AlertSheet& sheet, AlertDismissal onDismiss) override;
    int addSheetEndedObserver(std::function<void()> observer) override;
    void removeSheetEndedObserver(int token) override;

    /// The message box on screen; null when none is.
    QMessageBox* currentSheet() const { return _sheet; }

private:
    QPointer<QWidget> _window;
    QPointer<QMessageBox> _sheet;
    std::map<int, std::function<void()>> _observers;
    int _lastToken = 0;
};

} // namespace tardigo
