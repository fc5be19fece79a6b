#pragma once

#include <QObject>

namespace tardigo {

/// Tells the open lists and windows that the preferences changed. Receivers are called at once, in
/// the order they connected; one that goes away is disconnected with its context object.
class PreferenceSignals : public QObject {
    Q_OBJECT
public:
    static PreferenceSignals& instance();

signals:
    /// A preference changed: whatever shows one reads it again.
    void preferencesChanged();
    /// The categories that every list shares are to be gathered again from the open lists.
    void globalCategoriesRequested();
};

} // namespace tardigo
