#pragma once

#include <QObject>

namespace tardigo {

/// Makes Return and Enter press the focused push or tool button anywhere, as Space does: Qt gives
/// Return only to the buttons of a dialog, and there to the default one when no button has the
/// focus, which stays so.
class ButtonKeys : public QObject {
public:
    /// Watches every key pressed in the application, for as long as it runs.
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit ButtonKeys(QObject* parent) : QObject(parent) {}
};

} // namespace tardigo
