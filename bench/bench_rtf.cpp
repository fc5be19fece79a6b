// Measures how fast notes RTF is reduced to plain text, on a large document shaped like the
// platform's output: styled words, accented and non-Latin text, tabs, paragraphs, attachments.

#include "rich_text/rtf_reader.h"
#include "rich_text/rtf_writer.h"
#include "support/thread_cpu_time.h"

#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>
#include <limits>
#include <random>

using namespace tardigo;

namespace {

constexpr qsizetype kTargetBytes = 32 * 1024 * 1024;
constexpr int kRounds = 5;

std::vector<TextRun> generateRuns(unsigned seed) {
    static const QStringList words = {
        QStringLiteral("call"),         QStringLiteral("the"),        QStringLiteral("plumber"),
        QStringLiteral("about"),        QStringLiteral("leaking"),    QStringLiteral("kitchen"),
        QStringLiteral("tap"),          QStringLiteral("before"),     QStringLiteral("Friday"),
        QStringLiteral("caf\u00E9"),    QStringLiteral("na\u00EFve"), QStringLiteral("\u20AC20"),
        QStringLiteral("\u65E5\u672C"), QStringLiteral("\u00FCber"),  QStringLiteral("r\u00E9sum\u00E9"),
        QStringLiteral("{draft}"),      QStringLiteral("a\\b"),       QStringLiteral("\u2014"),
    };
    std::mt19937 random(seed);
    std::vector<TextRun> runs;
    qsizetype approximateBytes = 0;
    int attachment = 0;
    while (approximateBytes < kTargetBytes) {
        TextRun run;
        run.fontFamily = random() % 5 ? QStringLiteral("Helvetica") : QStringLiteral("Courier");
        run.fontSize = random() % 4 ? 12 : 18;
        run.bold = random() % 6 == 0;
        run.italic = random() % 8 == 0;
        run.underline = random() % 12 == 0;
        if (random() % 10 == 0)
            run.color = Rgba{float(random() % 256) / 255, 0.2f, 0.4f, 1};
        if (random() % 50 == 0) {
            run.text = QString(QChar(kAttachmentCharacter));
            run.attachmentName = QStringLiteral("Pasted Graphic %1.png").arg(++attachment);
            run.attachmentWidth = run.attachmentHeight = 1440;
        } else {
            const int count = 5 + int(random() % 60);
            for (int i = 0; i < count; ++i) {
                run.text += words[qsizetype(random() % words.size())];
                run.text += random() % 15 == 0 ? u'\t' : random() % 25 == 0 ? u'\n' : u' ';
            }
        }
        approximateBytes += run.text.size() + 12;
        runs.push_back(std::move(run));
    }
    return runs;
}

double threadSeconds() {
    return bench::threadCpuMs() / 1e3;
}

} // namespace

int main() {
    const QByteArray rtf = writeRtf(generateRuns(1));
    qsizetype characters = 0;
    double best = std::numeric_limits<double>::max();
    double bestWall = std::numeric_limits<double>::max();
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer wall;
        wall.start();
        const double start = threadSeconds();
        const RtfReadResult result = readRtf(rtf);
        best = std::min(best, threadSeconds() - start);
        bestWall = std::min(bestWall, double(wall.nsecsElapsed()) / 1e9);
        if (!result.ok()) {
            std::fprintf(stderr, "the generated RTF did not read: %s\n", qPrintable(result.error));
            return 1;
        }
        characters = result.text.plainText.size();
    }
    const double megabytes = double(rtf.size()) / (1024.0 * 1024.0);
    std::printf("RTF plain-text extraction: %.1f MB of RTF -> %lld characters in %.3f s CPU (%.3f s wall), "
                "best of %d: %.1f MB/s\n",
                megabytes, static_cast<long long>(characters), best, bestWall, kRounds, megabytes / best);
    return 0;
}
