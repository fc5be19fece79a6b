#include "appearance/dark_palette.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

namespace tardigo {

QPalette darkPalette() {
    const QColor window(0x2b, 0x2d, 0x30);
    const QColor base(0x1e, 0x1f, 0x22);
    const QColor alternate(0x25, 0x27, 0x2a);
    const QColor text(0xe6, 0xe6, 0xe6);
    const QColor disabled(0x7f, 0x82, 0x87);
    const QColor highlight(0x35, 0x74, 0xc9);
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, alternate);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabled);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(0xff, 0x6b, 0x6b));
    palette.setColor(QPalette::Light, window.lighter(140));
    palette.setColor(QPalette::Midlight, window.lighter(120));
    palette.setColor(QPalette::Mid, window.lighter(160));
    palette.setColor(QPalette::Dark, base.darker(130));
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::Highlight, highlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    // Links stand out from the text and from the base as a light palette's do.
    palette.setColor(QPalette::Link, highlight.lighter(130));
    palette.setColor(QPalette::LinkVisited, QColor(0xb3, 0x8c, 0xf0));
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, window.lighter(130));
    return palette;
}

void useDarkPalette(bool dark) {
    static const QString startStyle = QApplication::style()->name();
    static const QPalette startPalette = QApplication::palette();
    static bool shownDark = false;
    if (dark == shownDark)
        return;
    shownDark = dark;
    QApplication::setStyle(QStyleFactory::create(dark ? QStringLiteral("Fusion") : startStyle));
    QApplication::setPalette(dark ? darkPalette() : startPalette);
}

} // namespace tardigo
