#pragma once

#include "alerts/alert_queue.h"

#include <QMessageBox>
#include <QPointer>

namespace tardigo {

/// A document window's messages as window-modal message boxes, one at a time; a child of the window.
class MessageBoxHost : public MessageHost {
    Q_OBJECT
public:
    explicit MessageBoxHost(QWidget* window);

    bool isShowingMessage() const override { return !_box.isNull(); }
    void open(const Message& message, AnswerHandler onAnswer) override;

    /// The message box on screen; null when none is.
    QMessageBox* currentBox() const { return _box; }

private:
    QWidget* _window;
    QPointer<QMessageBox> _box;
};

} // namespace tardigo
