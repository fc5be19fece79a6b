#pragma once

#include <QString>

namespace tardigo {

/// Speaks a notice's item name aloud. Speaking goes on after the call returns; failures are logged.
class SpeechChannel {
public:
    virtual ~SpeechChannel() = default;
    virtual void speak(const QString& text) = 0;
};

} // namespace tardigo
