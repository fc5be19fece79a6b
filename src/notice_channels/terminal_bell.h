#pragma once

#include "minder/beep_channel.h"

namespace tardigo {

/// The beep of a program without windows: the bell of the controlling terminal.
class TerminalBell : public BeepChannel {
public:
    void beep() override;

private:
    bool _failureLogged = false;
};

} // namespace tardigo
