#include "cli_output.h"

#include <QFile>

#include <cstdio>

namespace tardigo::cli {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

int printStreamed(const std::function<bool(QIODevice&)>& write) {
    out().flush();
    QFile device;
    if (!device.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle) || !write(device) ||
        device.write("\n") != 1 || !device.flush())
        return fail(QStringLiteral("cannot write to the standard output: %1").arg(device.errorString()));
    return Success;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

int fail(const QString& message) {
    out().flush();
    err() << "tardigo-cli: " << message << Qt::endl;
    return Failure;
}

int usage(const QString& line) {
    err() << "usage: tardigo-cli " << line << Qt::endl << "Try “tardigo-cli --help” for more." << Qt::endl;
    return Usage;
}

} // namespace tardigo::cli
