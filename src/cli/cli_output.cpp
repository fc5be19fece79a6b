#include "cli_output.h"

#include <cstdio>

namespace tardigo::cli {

QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
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
