#include "password_input.h"

#include "cli_output.h"

#include <csignal>
#include <termios.h>
#include <unistd.h>

namespace tardigo::cli {

namespace {

constexpr qsizetype kMaxPasswordBytes = 4096;

termios savedTerminal;

/// Gives the terminal its echo back when the user interrupts the prompt, then ends as asked.
void restoreAndRaise(int signal) {
    tcsetattr(STDIN_FILENO, TCSANOW, &savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

/// One line from standard input, without its line end; nothing when it is empty or too long.
std::optional<QByteArray> readLine(QString* error) {
    QByteArray line;
    char c = 0;
    ssize_t got = 0;
    while ((got = ::read(STDIN_FILENO, &c, 1)) == 1 && c != '\n') {
        if (line.size() == kMaxPasswordBytes) {
            *error = QStringLiteral("The password is longer than %1 bytes.").arg(kMaxPasswordBytes);
            return std::nullopt;
        }
        line += c;
    }
    if (line.endsWith('\r'))
        line.chop(1);
    if (got < 0 || line.isEmpty()) {
        *error = QStringLiteral("No password was given.");
        return std::nullopt;
    }
    return line;
}

} // namespace

std::optional<QString> readPassword(bool fromStdin, const QString& prompt, QString* error) {
    if (fromStdin) {
        const std::optional<QByteArray> line = readLine(error);
        return line ? std::optional(QString::fromUtf8(*line)) : std::nullopt;
    }
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &savedTerminal) != 0) {
        *error = QStringLiteral("There is no terminal to ask for the password at; give it on standard input "
                                "with --password-stdin.");
        return std::nullopt;
    }
    out().flush();
    err() << prompt << Qt::flush;
    termios silent = savedTerminal;
    silent.c_lflag &= ~tcflag_t(ECHO);
    const auto previousInt = std::signal(SIGINT, restoreAndRaise);
    const auto previousTerm = std::signal(SIGTERM, restoreAndRaise);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    const std::optional<QByteArray> line = readLine(error);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    err() << Qt::endl;
    return line ? std::optional(QString::fromUtf8(*line)) : std::nullopt;
}

} // namespace tardigo::cli
