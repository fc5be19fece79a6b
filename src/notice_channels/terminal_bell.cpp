#include "notice_channels/terminal_bell.h"

#include "notice_channels/channels_log.h"

#include <QFile>

#include <utility>

namespace tardigo {

void TerminalBell::beep() {
    // The terminal itself, not standard output, which may be a pipe or a file.
    QFile terminal(QStringLiteral("/dev/tty"));
    if (terminal.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && terminal.write("\a", 1) == 1)
        return;
    if (!std::exchange(_failureLogged, true))
        qCInfo(lcChannels) << "cannot beep: no terminal";
}

} // namespace tardigo
