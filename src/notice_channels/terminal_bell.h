#pragma once

#include "minder/notice_channels.h"

namespace tardigo {

/// The beep of a program without windows: the bell of the controlling terminal.
class TerminalBell : public BeepChannel {
public:
    void beep() override;

private:
    bool _failureLogged = false;
};

} // namespace tardigo
