#pragma once

#include <QLabel>

namespace tardigo {

/// A label of one line that shortens its text with "…" to the width it is given instead of asking
/// for more, and shows the whole text as its tool tip when it had to shorten it. Its text() stays
/// the whole text.
class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    /// Whether the width given is too small for the whole text.
    bool isElided() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace tardigo
