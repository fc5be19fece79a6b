#pragma once

#include "minder/beep_channel.h"

#include <QApplication>

namespace tardigo {

/// The desktop's own beep.
class ApplicationBeep : public BeepChannel {
public:
    void beep() override { QApplication::beep(); }
};

} // namespace tardigo
