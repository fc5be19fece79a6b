// guide_to_html IN.md OUT.html TITLE: renders a Markdown guide into one self-contained HTML page.

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv) {
    // The text document measures fonts, which needs a GUI application, but no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: guide_to_html IN.md OUT.html TITLE\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "guide_to_html: %s: %s\n", argv[1], qPrintable(in.errorString()));
        return 1;
    }
    QTextDocument guide;
    guide.setMarkdown(QString::fromUtf8(in.readAll()));
    guide.setMetaInformation(QTextDocument::DocumentTitle, QString::fromUtf8(argv[3]));
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(guide.toHtml().toUtf8()) < 0) {
        std::fprintf(stderr, "guide_to_html: %s: %s\n", argv[2], qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
