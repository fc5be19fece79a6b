#pragma once

namespace tardigo {

/// Sounds one audible beep for a notice.
class BeepChannel {
public:
    virtual ~BeepChannel() = default;
    virtual void beep() = 0;
};

} // namespace tardigo
