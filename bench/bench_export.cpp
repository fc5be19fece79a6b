// Exports a large generated list as an XML property list and prints the cost per item.
#include "support/list_generator.h"

#include "exchange/plist_export.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

using namespace tardigo;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 100000;
    const NodePtr root = bench::generateList(count);
    QElapsedTimer timer;
    timer.start();
    const QByteArray plist = exportPropertyList(*root);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    printf("export of %d items: %.0f ms (%.2f us per item), %.1f MB of XML\n", count, ms, ms * 1000.0 / count,
           double(plist.size()) / 1e6);
    return 0;
}
