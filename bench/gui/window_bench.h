#pragma once

// What every benchmark of the windows sets up first.

#include "appearance/icon_for_name.h"
#include "dialogs/dialog_service.h"
#include "outline/icon_rules.h"
#include "platform/settings.h"

#include <QByteArray>

namespace tardigo::bench {

/// The offscreen platform, unless QT_QPA_PLATFORM names another; before the application is made.
inline void chooseOffscreenPlatform() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

/// Preferences in memory, dialogs that answer by themselves, and the icons of the resources.
inline void useBenchmarkSettings() {
    Settings::instance().useMemoryOnly();
    DialogService::setScripted(true);
    IconRules::setImageAvailability([](const QString& name) { return !iconForName(name).isNull(); });
}

} // namespace tardigo::bench
